// Filing of the entity part of every entity: layer and colour.
#include "arx/dbentity.h"
#include "db/dxfclass.h"
#include "db/dxfitems.h"
#include "db/entityaccess.h"

using namespace cadhost::db;

template <> struct cadhost::db::DxfFields<AcDbEntity> {
    using Subclass = DxfSubclass<AcDbEntity>;
    static const Subclass subclass;
};

const DxfFields<AcDbEntity>::Subclass DxfFields<AcDbEntity>::subclass(
    "AcDbEntity",
    {
        Subclass::custom(
            {AcDb::kDxfLayerName},
            [](const AcDbEntity& e, AcDbDxfFiler* f) {
                char* name = e.layer();
                f->writeString(AcDb::kDxfLayerName, name);
                acutDelString(name);
            },
            [](AcDbEntity& e, NoReadState&, const resbuf& item, AcDbDxfFiler*) {
                e.m_layer = TextOf(item).empty() ? "0" : TextOf(item);
                return Acad::eOk;
            }),
        Subclass::custom(
            {AcDb::kDxfColor},
            [](const AcDbEntity& e, AcDbDxfFiler* f) {
                if (e.m_color != 256 || f->includesDefaultValues())
                    f->writeInt16(AcDb::kDxfColor, static_cast<Adesk::Int16>(e.m_color));
            },
            [](AcDbEntity& e, NoReadState&, const resbuf& item, AcDbDxfFiler*) {
                // A negative colour is an R12 way of saying "off"; the index is what it keeps.
                int color = item.resval.rint < 0 ? -item.resval.rint : item.resval.rint;
                e.m_color = static_cast<Adesk::UInt16>(color <= 256 ? color : 256);
                return Acad::eOk;
            }),
        // Paper space (67) is the file writer's to say, from the entity's owner.
        Subclass::owned({67}),
    },
    [](AcDbEntity& e, NoReadState&, AcDbDxfFiler*) { EntityAccess::bindToDatabase(e); });

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
    return DxfFields<AcDbEntity>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbEntity>::subclass.fileIn(*this, filer);
}
