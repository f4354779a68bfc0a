// Geometry: 3D points, vectors and affine transformation matrices.
#pragma once

class AcGeMatrix3d;

class AcGeTol {
public:
    AcGeTol() = default;
    double equalPoint() const { return m_point; }
    double equalVector() const { return m_vector; }
    void setEqualPoint(double t) { m_point = t; }
    void setEqualVector(double t) { m_vector = t; }

private:
    double m_point = 1e-10;
    double m_vector = 1e-12;
};

struct AcGeContext {
    static AcGeTol gTol;
};

class AcGeVector3d {
public:
    AcGeVector3d() = default;
    constexpr AcGeVector3d(double x, double y, double z) : x(x), y(y), z(z) {}

    static const AcGeVector3d kIdentity;
    static const AcGeVector3d kXAxis;
    static const AcGeVector3d kYAxis;
    static const AcGeVector3d kZAxis;

    double length() const;
    AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol);
    double dotProduct(const AcGeVector3d& v) const;
    AcGeVector3d crossProduct(const AcGeVector3d& v) const;
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector3d& transformBy(const AcGeMatrix3d& m);

    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }

    double x = 0.0, y = 0.0, z = 0.0;
};

class AcGePoint3d {
public:
    AcGePoint3d() = default;
    constexpr AcGePoint3d(double x, double y, double z) : x(x), y(y), z(z) {}

    static const AcGePoint3d kOrigin;

    double distanceTo(const AcGePoint3d& p) const;
    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGePoint3d& transformBy(const AcGeMatrix3d& m);

    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }

    double x = 0.0, y = 0.0, z = 0.0;
};

// A 4x4 matrix of an affine transformation, applied to column vectors: p' = M p.
class AcGeMatrix3d {
public:
    AcGeMatrix3d(); // identity

    static const AcGeMatrix3d kIdentity;

    AcGeMatrix3d& setToIdentity();
    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right);
    // The inverse; the identity for a singular matrix (test isSingular first).
    AcGeMatrix3d inverse() const;
    double det() const;
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    // Whether the matrix only moves, turns, mirrors and scales by the same factor along
    // every axis (its columns are perpendicular and of one length), so that shapes keep
    // their proportions.
    bool isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;

    // The matrix that maps the coordinate system (origin, x, y, z) onto another one.
    AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                     const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                     const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                     const AcGeVector3d& toY, const AcGeVector3d& toZ);
    // The matrix that maps the world coordinate system onto the system given by origin and
    // axes: its columns are the axes, its translation the origin.  Applied to coordinates in
    // that system it gives world coordinates.
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                 const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
    void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                        AcGeVector3d& zAxis) const;

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);

    // The scale factor along the matrix's x axis.
    double scale() const;

    double operator()(unsigned row, unsigned column) const { return entry[row][column]; }
    double& operator()(unsigned row, unsigned column) { return entry[row][column]; }

    double entry[4][4];
};
