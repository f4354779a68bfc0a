// Filing of entities, lines and circles.
#include "arx/dbents.h"
#include "db/dxfitems.h"
#include "db/entityaccess.h"
#include "db/geometry.h"

#include <cmath>

using namespace cadhost::db;

namespace {

// Entities in files may have any normal; a zero or broken one falls back to the z axis
// rather than poisoning later arithmetic.
AcGeVector3d UsableNormal(const AcGeVector3d& v) {
    return IsFinite(v) && !v.isZeroLength() ? v.normal() : AcGeVector3d::kZAxis;
}

} // namespace

// ---- AcDbEntity ------------------------------------------------------------------------------

Acad::ErrorStatus AcDbEntity::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer); es != Acad::eOk)
        return es;
    char* name = layer();
    filer->writeString(name);
    acutDelString(name);
    filer->writeUInt16(m_color);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dwgInFields(filer); es != Acad::eOk)
        return es;
    std::string name;
    Adesk::UInt16 color = 256;
    if (ReadDwgString(filer, name) != Acad::eOk || filer->readUInt16(&color) != Acad::eOk)
        return filer->filerStatus();
    m_layer = name.empty() ? "0" : name;
    m_color = color <= 256 ? color : 256;
    EntityAccess::bindToDatabase(*this);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbEntity");
    char* name = layer();
    filer->writeString(AcDb::kDxfLayerName, name);
    acutDelString(name);
    if (m_color != 256 || filer->includesDefaultValues())
        filer->writeInt16(AcDb::kDxfColor, static_cast<Adesk::Int16>(m_color));
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbEntity"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadSubclassItems(filer, [this](const resbuf& item) {
        if (item.restype == AcDb::kDxfLayerName) {
            m_layer = TextOf(item).empty() ? "0" : TextOf(item);
        } else if (item.restype == AcDb::kDxfColor) {
            // A negative colour is an R12 way of saying "off"; the index is what it keeps.
            int color = item.resval.rint < 0 ? -item.resval.rint : item.resval.rint;
            m_color = static_cast<Adesk::UInt16>(color <= 256 ? color : 256);
        }
        return Acad::eOk;
    });
    EntityAccess::bindToDatabase(*this);
    return es != Acad::eOk ? es : filer->filerStatus();
}

// ---- AcDbLine --------------------------------------------------------------------------------

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
    filer->writeString(AcDb::kDxfSubclass, "AcDbLine");
    filer->writePoint3d(AcDb::kDxfXCoord, m_start);
    filer->writePoint3d(static_cast<AcDb::DxfCode>(AcDb::kDxfXCoord + 1), m_end);
    if (!m_normal.isEqualTo(AcGeVector3d::kZAxis) || filer->includesDefaultValues())
        filer->writeVector3d(AcDb::kDxfNormalX, m_normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLine::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbLine"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadSubclassItems(filer, [this](const resbuf& item) {
        switch (item.restype) {
        case 10:
            m_start = PointOf(item);
            break;
        case 11:
            m_end = PointOf(item);
            break;
        case 210:
            m_normal = UsableNormal(VectorOf(item));
            break;
        default:
            break;
        }
        return Acad::eOk;
    });
    return es != Acad::eOk ? es : filer->filerStatus();
}

// ---- AcDbCircle ------------------------------------------------------------------------------

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
    if (std::isfinite(radius) && radius > 0.0)
        m_radius = radius;
    m_normal = UsableNormal(normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbCircle::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbCircle");
    filer->writePoint3d(AcDb::kDxfXCoord, m_center);
    filer->writeDouble(AcDb::kDxfReal, m_radius);
    if (!m_normal.isEqualTo(AcGeVector3d::kZAxis) || filer->includesDefaultValues())
        filer->writeVector3d(AcDb::kDxfNormalX, m_normal);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbCircle::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbCircle"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadSubclassItems(filer, [this](const resbuf& item) {
        switch (item.restype) {
        case 10:
            m_center = PointOf(item);
            break;
        case 40:
            if (std::isfinite(item.resval.rreal) && item.resval.rreal > 0.0)
                m_radius = item.resval.rreal;
            break;
        case 210:
            m_normal = UsableNormal(VectorOf(item));
            break;
        default:
            break;
        }
        return Acad::eOk;
    });
    return es != Acad::eOk ? es : filer->filerStatus();
}
