// Shared entity geometry.
#include "db/geometry.h"

#include <cmath>

namespace cadhost::db {

AcGeVector3d PlaneXAxis(const AcGeVector3d& normal) {
    AcGeVector3d n = normal.normal();
    constexpr double kLimit = 1.0 / 64.0;
    AcGeVector3d x = (std::fabs(n.x) < kLimit && std::fabs(n.y) < kLimit)
                         ? AcGeVector3d::kYAxis.crossProduct(n)
                         : AcGeVector3d::kZAxis.crossProduct(n);
    return x.normal();
}

bool IsFinite(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool IsFinite(const AcGeVector3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Acad::ErrorStatus CheckSimilarity(const AcGeMatrix3d& xform, double& scale) {
    scale = 0.0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(xform(r, c)))
                return Acad::eInvalidInput;
    if (xform(3, 0) != 0.0 || xform(3, 1) != 0.0 || xform(3, 2) != 0.0 || xform(3, 3) != 1.0)
        return Acad::eInvalidInput;
    AcGeVector3d cols[3];
    double largest = 0.0, smallest = HUGE_VAL;
    for (int c = 0; c < 3; ++c) {
        cols[c] = AcGeVector3d(xform(0, c), xform(1, c), xform(2, c));
        largest = std::fmax(largest, cols[c].length());
        smallest = std::fmin(smallest, cols[c].length());
    }
    // Singular: an axis collapses, or the axes fall into a plane.
    if (largest == 0.0 || smallest <= 1e-12 * largest)
        return Acad::eInvalidInput;
    double volume = std::fabs(cols[0].dotProduct(cols[1].crossProduct(cols[2])));
    if (volume <= 1e-12 * largest * largest * largest)
        return Acad::eInvalidInput;
    if (!xform.isUniScaledOrtho())
        return Acad::eCannotScaleNonUniformly;
    scale = cols[0].length();
    return Acad::eOk;
}

AcGeVector3d UsableNormal(const AcGeVector3d& v) {
    return IsFinite(v) && !v.isZeroLength() ? v.normal() : AcGeVector3d::kZAxis;
}

double DistanceToSegment(const AcGePoint3d& p, const AcGePoint3d& a, const AcGePoint3d& b) {
    AcGeVector3d ab = b - a;
    double len2 = ab.dotProduct(ab);
    double t = len2 > 0 ? (p - a).dotProduct(ab) / len2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return p.distanceTo(a + ab * t);
}

} // namespace cadhost::db
