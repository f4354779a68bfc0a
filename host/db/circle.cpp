// Circles.
#include "arx/dbents.h"
#include "db/geometry.h"

#include <cmath>

using namespace cadhost::db;

ACRX_DXF_DEFINE_MEMBERS(AcDbCircle, AcDbEntity, "CIRCLE", nullptr)

AcDbCircle::AcDbCircle() = default;
AcDbCircle::AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
    : m_center(center) {
    if (IsFinite(normal) && !normal.isZeroLength())
        m_normal = normal.normal();
    if (std::isfinite(radius) && radius > 0.0)
        m_radius = radius;
}
AcDbCircle::~AcDbCircle() = default;

AcGePoint3d AcDbCircle::center() const {
    assertReadEnabled();
    return m_center;
}

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& center) {
    assertWriteEnabled();
    if (!IsFinite(center))
        return Acad::eInvalidInput;
    m_center = center;
    return Acad::eOk;
}

double AcDbCircle::radius() const {
    assertReadEnabled();
    return m_radius;
}

Acad::ErrorStatus AcDbCircle::setRadius(double radius) {
    assertWriteEnabled();
    if (!std::isfinite(radius) || radius == 0.0)
        return Acad::eInvalidInput;
    if (radius < 0.0)
        return Acad::eNegativeValueNotAllowed;
    m_radius = radius;
    return Acad::eOk;
}

AcGeVector3d AcDbCircle::normal() const {
    assertReadEnabled();
    return m_normal;
}

Acad::ErrorStatus AcDbCircle::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (!IsFinite(normal) || normal.isZeroLength())
        return Acad::eInvalidInput;
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& xform) {
    assertWriteEnabled();
    double scale;
    if (Acad::ErrorStatus es = CheckSimilarity(xform, scale); es != Acad::eOk)
        return es;
    m_center.transformBy(xform);
    m_normal.transformBy(xform);
    m_normal.normalize();
    m_radius *= scale;
    return xDataTransformBy(xform);
}
