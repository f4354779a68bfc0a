// Lines.
#include "arx/dbents.h"
#include "db/geometry.h"

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
