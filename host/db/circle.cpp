// Circles: geometry, filing, extents, listing and picking.
#include "arx/dbents.h"
#include "db/dxfclass.h"
#include "db/geometry.h"
#include "db/listing.h"

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

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    if (!IsFinite(m_center) || !std::isfinite(m_radius))
        return Acad::eInvalidExtents;
    // Along each axis the circle reaches as far as its radius times the sine of the angle
    // between the axis and the normal.
    auto reach = [&](double n) { return m_radius * std::sqrt(std::fmax(0.0, 1.0 - n * n)); };
    AcGeVector3d r(reach(m_normal.x), reach(m_normal.y), reach(m_normal.z));
    extents = AcDbExtents(m_center - r, m_center + r);
    return Acad::eOk;
}

void AcDbCircle::list() const {
    AcDbEntity::list();
    Display("\n  Center: " + ListPoint(m_center) + "\n  Radius: " + ListReal(m_radius));
}

Acad::ErrorStatus AcDbCircle::getDistanceTo(const AcGePoint3d& point, double& distance) const {
    assertReadEnabled();
    distance = std::fabs(point.distanceTo(m_center) - m_radius);
    return Acad::eOk;
}

Adesk::Boolean AcDbCircle::worldDraw(AcGiWorldDraw* mode) {
    assertReadEnabled();
    mode->geometry().circle(m_center, m_radius, m_normal);
    return Adesk::kTrue;
}

Acad::ErrorStatus AcDbCircle::getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray&,
                                            AcDbIntArray&) const {
    assertReadEnabled();
    gripPoints.append(m_center);
    return Acad::eOk;
}

// ---- Filing ----------------------------------------------------------------------------------

namespace {

bool IsRadius(double r) {
    return std::isfinite(r) && r > 0.0;
}

} // namespace

template <> struct cadhost::db::DxfFields<AcDbCircle> {
    using Subclass = DxfSubclass<AcDbCircle>;
    static const Subclass subclass;
};

const DxfFields<AcDbCircle>::Subclass DxfFields<AcDbCircle>::subclass(
    "AcDbCircle",
    {
        Subclass::point(10, &AcDbCircle::m_center),
        Subclass::real(40, &AcDbCircle::m_radius, IsRadius),
        Subclass::vector(210, &AcDbCircle::m_normal, AcGeVector3d::kZAxis, UsableNormal),
    });

Acad::ErrorStatus AcDbCircle::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writePoint3d(m_center);
    filer->writeDouble(m_radius);
    filer->writeVector3d(m_normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbCircle::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer); es != Acad::eOk)
        return es;
    AcGePoint3d center;
    double radius = 0.0;
    AcGeVector3d normal;
    if (filer->readPoint3d(&center) != Acad::eOk || filer->readDouble(&radius) != Acad::eOk ||
        filer->readVector3d(&normal) != Acad::eOk)
        return filer->filerStatus();
    m_center = center;
    if (IsRadius(radius))
        m_radius = radius;
    m_normal = UsableNormal(normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbCircle::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbCircle>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbCircle::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbCircle>::subclass.fileIn(*this, filer);
}
