// Points, vectors and affine matrices.
#include "arx/ge.h"

#include <cmath>
#include <utility>

AcGeTol AcGeContext::gTol;

// Made before any code runs (constinit), so that other objects of the program's start may copy
// them.
constinit const AcGeVector3d AcGeVector3d::kIdentity(0.0, 0.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kXAxis(1.0, 0.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kYAxis(0.0, 1.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kZAxis(0.0, 0.0, 1.0);
constinit const AcGePoint3d AcGePoint3d::kOrigin(0.0, 0.0, 0.0);
const AcGeMatrix3d AcGeMatrix3d::kIdentity;

// ---- AcGeVector3d ----------------------------------------------------------------------------

double AcGeVector3d::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const {
    AcGeVector3d unit = *this;
    return unit.normalize(tol);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) {
    // A vector too short to have a direction stays as it is rather than blowing up to
    // infinities; callers test isZeroLength first where it matters.
    double len = length();
    if (len > tol.equalVector()) {
        x /= len;
        y /= len;
        z /= len;
    }
    return *this;
}

double AcGeVector3d::dotProduct(const AcGeVector3d& v) const {
    return x * v.x + y * v.y + z * v.z;
}

AcGeVector3d AcGeVector3d::crossProduct(const AcGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

bool AcGeVector3d::isZeroLength(const AcGeTol& tol) const {
    return length() <= tol.equalVector();
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
    // A vector is a difference of points: the translation does not apply.
    const auto& e = m.entry;
    AcGeVector3d r(e[0][0] * x + e[0][1] * y + e[0][2] * z, e[1][0] * x + e[1][1] * y + e[1][2] * z,
                   e[2][0] * x + e[2][1] * y + e[2][2] * z);
    *this = r;
    return *this;
}

// ---- AcGePoint3d -----------------------------------------------------------------------------

double AcGePoint3d::distanceTo(const AcGePoint3d& p) const {
    return (*this - p).length();
}

bool AcGePoint3d::isEqualTo(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) {
    const auto& e = m.entry;
    double nx = e[0][0] * x + e[0][1] * y + e[0][2] * z + e[0][3];
    double ny = e[1][0] * x + e[1][1] * y + e[1][2] * z + e[1][3];
    double nz = e[2][0] * x + e[2][1] * y + e[2][2] * z + e[2][3];
    double w = e[3][0] * x + e[3][1] * y + e[3][2] * z + e[3][3];
    // Affine matrices have w = 1; a projective one is honoured where w is usable.
    if (w != 1.0 && w != 0.0) {
        nx /= w;
        ny /= w;
        nz /= w;
    }
    x = nx;
    y = ny;
    z = nz;
    return *this;
}

// ---- AcGeMatrix3d ----------------------------------------------------------------------------

AcGeMatrix3d::AcGeMatrix3d() {
    setToIdentity();
}

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            entry[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalPoint())
                return false;
    return true;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += entry[r][k] * m.entry[k][c];
            result.entry[r][c] = sum;
        }
    }
    return result;
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) {
    return *this = left * *this;
}

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) {
    return *this = *this * right;
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
    // Gauss-Jordan elimination with partial pivoting on [M | I].
    double a[4][8];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = entry[r][c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) <= 1e-300)
            return kIdentity;
        if (pivot != col)
            for (int c = 0; c < 8; ++c)
                std::swap(a[pivot][c], a[col][c]);
        double scale = a[col][col];
        for (int c = 0; c < 8; ++c)
            a[col][c] /= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0)
                continue;
            double factor = a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= factor * a[col][c];
        }
    }
    AcGeMatrix3d result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.entry[r][c] = a[r][c + 4];
    return result;
}

namespace {

double Det3(double a, double b, double c, double d, double e, double f, double g, double h,
            double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

} // namespace

double AcGeMatrix3d::det() const {
    // Expansion along the last row, which is (0, 0, 0, 1) for affine matrices.
    const auto& m = entry;
    double result = 0.0;
    for (int c = 0; c < 4; ++c) {
        if (m[3][c] == 0.0)
            continue;
        int cols[3], n = 0;
        for (int k = 0; k < 4; ++k)
            if (k != c)
                cols[n++] = k;
        double minor =
            Det3(m[0][cols[0]], m[0][cols[1]], m[0][cols[2]], m[1][cols[0]], m[1][cols[1]],
                 m[1][cols[2]], m[2][cols[0]], m[2][cols[1]], m[2][cols[2]]);
        result += ((3 + c) % 2 == 0 ? 1.0 : -1.0) * m[3][c] * minor;
    }
    return result;
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
    return std::fabs(det()) <= tol.equalPoint();
}

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
    AcGeVector3d x(entry[0][0], entry[1][0], entry[2][0]);
    AcGeVector3d y(entry[0][1], entry[1][1], entry[2][1]);
    AcGeVector3d z(entry[0][2], entry[1][2], entry[2][2]);
    double lx = x.length(), ly = y.length(), lz = z.length();
    double largest = std::fmax(lx, std::fmax(ly, lz));
    if (largest <= tol.equalVector())
        return false;
    // Relative comparisons, so that the answer does not depend on the size of the scale.
    double eps = 1e-9 * largest;
    if (std::fabs(lx - ly) > eps || std::fabs(lx - lz) > eps)
        return false;
    double eps2 = 1e-9 * largest * largest;
    return std::fabs(x.dotProduct(y)) <= eps2 && std::fabs(y.dotProduct(z)) <= eps2 &&
           std::fabs(x.dotProduct(z)) <= eps2;
}

AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(const AcGePoint3d& fromOrigin,
                                               const AcGeVector3d& fromX, const AcGeVector3d& fromY,
                                               const AcGeVector3d& fromZ,
                                               const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                               const AcGeVector3d& toY, const AcGeVector3d& toZ) {
    AcGeMatrix3d from, to;
    from.setCoordSystem(fromOrigin, fromX, fromY, fromZ);
    to.setCoordSystem(toOrigin, toX, toY, toZ);
    return *this = to * from.inverse();
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis) {
    setToIdentity();
    const AcGeVector3d* axes[3] = {&xAxis, &yAxis, &zAxis};
    for (int c = 0; c < 3; ++c) {
        entry[0][c] = axes[c]->x;
        entry[1][c] = axes[c]->y;
        entry[2][c] = axes[c]->z;
    }
    entry[0][3] = origin.x;
    entry[1][3] = origin.y;
    entry[2][3] = origin.z;
    return *this;
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const {
    origin = {entry[0][3], entry[1][3], entry[2][3]};
    xAxis = {entry[0][0], entry[1][0], entry[2][0]};
    yAxis = {entry[0][1], entry[1][1], entry[2][1]};
    zAxis = {entry[0][2], entry[1][2], entry[2][2]};
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    AcGeMatrix3d m;
    m.entry[0][3] = v.x;
    m.entry[1][3] = v.y;
    m.entry[2][3] = v.z;
    return m;
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis,
                                    const AcGePoint3d& center) {
    AcGeMatrix3d m;
    if (axis.isZeroLength())
        return m;
    AcGeVector3d u = axis.normal();
    double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    m.entry[0][0] = t * u.x * u.x + c;
    m.entry[0][1] = t * u.x * u.y - s * u.z;
    m.entry[0][2] = t * u.x * u.z + s * u.y;
    m.entry[1][0] = t * u.x * u.y + s * u.z;
    m.entry[1][1] = t * u.y * u.y + c;
    m.entry[1][2] = t * u.y * u.z - s * u.x;
    m.entry[2][0] = t * u.x * u.z - s * u.y;
    m.entry[2][1] = t * u.y * u.z + s * u.x;
    m.entry[2][2] = t * u.z * u.z + c;
    // Turning about the centre: the centre stays where it is.
    AcGePoint3d moved = center;
    moved.transformBy(m);
    AcGeVector3d shift = center - moved;
    m.entry[0][3] = shift.x;
    m.entry[1][3] = shift.y;
    m.entry[2][3] = shift.z;
    return m;
}

AcGeMatrix3d AcGeMatrix3d::scaling(double scale, const AcGePoint3d& center) {
    AcGeMatrix3d m;
    for (int i = 0; i < 3; ++i)
        m.entry[i][i] = scale;
    m.entry[0][3] = center.x * (1.0 - scale);
    m.entry[1][3] = center.y * (1.0 - scale);
    m.entry[2][3] = center.z * (1.0 - scale);
    return m;
}

double AcGeMatrix3d::scale() const {
    return AcGeVector3d(entry[0][0], entry[1][0], entry[2][0]).length();
}
