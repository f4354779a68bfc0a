// Lines: geometry, filing, extents, listing and picking.
#include "arx/dbents.h"
#include "db/dxfclass.h"
#include "db/geometry.h"
#include "db/listing.h"

using namespace cadhost::db;

ACRX_DXF_DEFINE_MEMBERS(AcDbLine, AcDbEntity, "LINE", nullptr)

AcDbLine::AcDbLine() = default;
AcDbLine::AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
AcDbLine::~AcDbLine() = default;

AcGePoint3d AcDbLine::startPoint() const {
    assertReadEnabled();
    return m_start;
}

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& point) {
    assertWriteEnabled();
    if (!IsFinite(point))
        return Acad::eInvalidInput;
    m_start = point;
    return Acad::eOk;
}

AcGePoint3d AcDbLine::endPoint() const {
    assertReadEnabled();
    return m_end;
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& point) {
    assertWriteEnabled();
    if (!IsFinite(point))
        return Acad::eInvalidInput;
    m_end = point;
    return Acad::eOk;
}

AcGeVector3d AcDbLine::normal() const {
    assertReadEnabled();
    return m_normal;
}

Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (!IsFinite(normal) || normal.isZeroLength())
        return Acad::eInvalidInput;
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& xform) {
    assertWriteEnabled();
    AcGePoint3d start = m_start, end = m_end;
    start.transformBy(xform);
    end.transformBy(xform);
    if (!IsFinite(start) || !IsFinite(end))
        return Acad::eInvalidInput;
    m_start = start;
    m_end = end;
    // A normal turns with the inverse transpose, which keeps it perpendicular to the plane
    // under any invertible matrix.
    if (!xform.isSingular()) {
        AcGeMatrix3d inverse = xform.inverse();
        AcGeVector3d n(
            inverse(0, 0) * m_normal.x + inverse(1, 0) * m_normal.y + inverse(2, 0) * m_normal.z,
            inverse(0, 1) * m_normal.x + inverse(1, 1) * m_normal.y + inverse(2, 1) * m_normal.z,
            inverse(0, 2) * m_normal.x + inverse(1, 2) * m_normal.y + inverse(2, 2) * m_normal.z);
        if (!n.isZeroLength())
            m_normal = n.normal();
    }
    return xDataTransformBy(xform);
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    if (!IsFinite(m_start) || !IsFinite(m_end))
        return Acad::eInvalidExtents;
    extents = AcDbExtents();
    extents.addPoint(m_start);
    extents.addPoint(m_end);
    return Acad::eOk;
}

void AcDbLine::list() const {
    AcDbEntity::list();
    Display("\n  From: " + ListPoint(m_start) + "\n  To:   " + ListPoint(m_end));
}

Acad::ErrorStatus AcDbLine::getDistanceTo(const AcGePoint3d& point, double& distance) const {
    assertReadEnabled();
    distance = DistanceToSegment(point, m_start, m_end);
    return Acad::eOk;
}

Adesk::Boolean AcDbLine::worldDraw(AcGiWorldDraw* mode) {
    assertReadEnabled();
    const AcGePoint3d points[] = {m_start, m_end};
    mode->geometry().polyline(2, points, &m_normal);
    return Adesk::kTrue;
}

Acad::ErrorStatus AcDbLine::getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray&,
                                          AcDbIntArray&) const {
    assertReadEnabled();
    gripPoints.append(m_start);
    gripPoints.append(m_end);
    return Acad::eOk;
}

// ---- Filing ----------------------------------------------------------------------------------

template <> struct cadhost::db::DxfFields<AcDbLine> {
    using Subclass = DxfSubclass<AcDbLine>;
    static const Subclass subclass;
};

const DxfFields<AcDbLine>::Subclass DxfFields<AcDbLine>::subclass(
    "AcDbLine", {
                    Subclass::point(10, &AcDbLine::m_start),
                    Subclass::point(11, &AcDbLine::m_end),
                    Subclass::vector(210, &AcDbLine::m_normal, AcGeVector3d::kZAxis, UsableNormal),
                });

Acad::ErrorStatus AcDbLine::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writePoint3d(m_start);
    filer->writePoint3d(m_end);
    filer->writeVector3d(m_normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLine::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer); es != Acad::eOk)
        return es;
    AcGePoint3d start, end;
    AcGeVector3d normal;
    if (filer->readPoint3d(&start) != Acad::eOk || filer->readPoint3d(&end) != Acad::eOk ||
        filer->readVector3d(&normal) != Acad::eOk)
        return filer->filerStatus();
    m_start = start;
    m_end = end;
    m_normal = UsableNormal(normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLine::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbLine>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbLine::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbLine>::subclass.fileIn(*this, filer);
}
