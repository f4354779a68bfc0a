// Filing of symbol tables, their records and blocks.
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/dxfitems.h"
#include "db/entityaccess.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

#include <cmath>

using namespace cadhost::db;

namespace {

// Reads a list of ids written as a count and hard ownership ids.
Acad::ErrorStatus ReadIdList(AcDbDwgFiler* filer, std::vector<AcDbObjectId>& ids) {
    ids.clear();
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) != Acad::eOk)
        return filer->filerStatus();
    if (count < 0) {
        filer->setFilerStatus(Acad::eInvalidInput);
        return filer->filerStatus();
    }
    for (Adesk::Int32 i = 0; i < count; ++i) {
        AcDbHardOwnershipId id;
        if (filer->readHardOwnershipId(&id) != Acad::eOk)
            return filer->filerStatus();
        ids.push_back(id);
    }
    return filer->filerStatus();
}

void WriteIdList(AcDbDwgFiler* filer, const std::vector<AcDbObjectId>& ids) {
    filer->writeInt32(static_cast<Adesk::Int32>(ids.size()));
    for (const AcDbObjectId& id : ids)
        filer->writeHardOwnershipId(id);
}

// Reads the name (2) and flags (70) of a record's own subclass; more(item) sees the rest.
template <class More>
Acad::ErrorStatus ReadRecordItems(AcDbDxfFiler* filer, AcDbSymbolTableRecord& record, More more) {
    return ReadSubclassItems(filer, [&](const resbuf& item) {
        if (item.restype == AcDb::kDxfSymbolTableName) {
            if (Acad::ErrorStatus es = record.setName(TextOf(item).c_str()); es != Acad::eOk)
                return filer->setError(es, "invalid symbol name \"%s\"", TextOf(item).c_str());
            return Acad::eOk;
        }
        return more(item);
    });
}

} // namespace

// ---- Tables ----------------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTable::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer); es != Acad::eOk)
        return es;
    WriteIdList(filer, m_impl->records);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dwgInFields(filer); es != Acad::eOk)
        return es;
    std::vector<AcDbObjectId> records;
    if (ReadIdList(filer, records) != Acad::eOk)
        return filer->filerStatus();
    // The name index is rebuilt from the records that are loaded; a reader that brings the
    // records in later adds them with add().
    Impl fresh;
    fresh.records = records;
    for (const AcDbObjectId& id : records) {
        if (auto* record = ObjectOf<AcDbSymbolTableRecord>(id)) {
            auto& slot = fresh.byName[FoldCase(record->nameText())];
            if (slot.isNull() || slot.isErased())
                slot = id;
        }
    }
    *m_impl = std::move(fresh);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbSymbolTable");
    Adesk::Int16 live = 0;
    for (const AcDbObjectId& id : m_impl->records)
        if (!id.isErased())
            ++live;
    filer->writeInt16(AcDb::kDxfInt16, live);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbSymbolTable"))
        return filer->filerStatus();
    // The count (70) is only a hint; the records come as objects of their own.
    Acad::ErrorStatus es = ReadSubclassItems(filer, [](const resbuf&) { return Acad::eOk; });
    return es != Acad::eOk ? es : filer->filerStatus();
}

// ---- Records ---------------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(m_name.c_str());
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dwgInFields(filer); es != Acad::eOk)
        return es;
    std::string name;
    if (ReadDwgString(filer, name) != Acad::eOk)
        return filer->filerStatus();
    if (Acad::ErrorStatus es = setName(name.c_str()); es != Acad::eOk)
        filer->setFilerStatus(es);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbSymbolTableRecord");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    filer->atSubclassData("AcDbSymbolTableRecord");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer); es != Acad::eOk)
        return es;
    WriteIdList(filer, m_impl->entities);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer); es != Acad::eOk)
        return es;
    std::vector<AcDbObjectId> entities;
    if (ReadIdList(filer, entities) == Acad::eOk)
        m_impl->entities = std::move(entities);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbBlockTableRecord");
    filer->writeString(AcDb::kDxfSymbolTableName, nameText().c_str());
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbBlockTableRecord"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadRecordItems(filer, *this, [](const resbuf&) { return Acad::eOk; });
    return es != Acad::eOk ? es : filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeInt16(m_color);
    filer->writeBool(m_off);
    filer->writeBool(m_frozen);
    filer->writeBool(m_locked);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer); es != Acad::eOk)
        return es;
    Adesk::Int16 color = 7;
    bool off = false, frozen = false, locked = false;
    filer->readInt16(&color);
    filer->readBool(&off);
    filer->readBool(&frozen);
    filer->readBool(&locked);
    if (filer->filerStatus() != Acad::eOk)
        return filer->filerStatus();
    m_color = color >= 1 && color <= 255 ? color : 7;
    m_off = off;
    m_frozen = frozen;
    m_locked = locked;
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbLayerTableRecord");
    filer->writeString(AcDb::kDxfSymbolTableName, nameText().c_str());
    filer->writeInt16(AcDb::kDxfInt16,
                      static_cast<Adesk::Int16>((m_frozen ? 1 : 0) | (m_locked ? 4 : 0)));
    // A layer that is off files its colour negated.
    filer->writeInt16(AcDb::kDxfColor, static_cast<Adesk::Int16>(m_off ? -m_color : m_color));
    filer->writeString(AcDb::kDxfLinetypeName, "Continuous");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbLayerTableRecord"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadRecordItems(filer, *this, [this](const resbuf& item) {
        if (item.restype == AcDb::kDxfInt16) {
            m_frozen = item.resval.rint & 1;
            m_locked = item.resval.rint & 4;
        } else if (item.restype == AcDb::kDxfColor) {
            int color = item.resval.rint;
            m_off = color < 0;
            color = color < 0 ? -color : color;
            m_color = static_cast<Adesk::Int16>(color >= 1 && color <= 255 ? color : 7);
        }
        return Acad::eOk;
    });
    return es != Acad::eOk ? es : filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeDouble(m_textSize);
    filer->writeDouble(m_xScale);
    filer->writeString(m_fileName.c_str());
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer); es != Acad::eOk)
        return es;
    double size = 0.0, xScale = 1.0;
    std::string file;
    filer->readDouble(&size);
    filer->readDouble(&xScale);
    ReadDwgString(filer, file);
    if (filer->filerStatus() != Acad::eOk)
        return filer->filerStatus();
    m_textSize = std::isfinite(size) && size >= 0.0 ? size : 0.0;
    m_xScale = std::isfinite(xScale) && xScale > 0.0 ? xScale : 1.0;
    m_fileName = file;
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbTextStyleTableRecord");
    filer->writeString(AcDb::kDxfSymbolTableName, nameText().c_str());
    filer->writeInt16(AcDb::kDxfInt16, 0);
    filer->writeDouble(AcDb::kDxfTxtSize, m_textSize);
    filer->writeDouble(AcDb::kDxfTxtStyleXScale, m_xScale);
    filer->writeDouble(AcDb::kDxfAngle, 0.0);
    filer->writeInt16(AcDb::kDxfTxtStyleFlags, 0);
    filer->writeDouble(AcDb::kDxfTxtStylePSize, m_textSize > 0.0 ? m_textSize : 2.5);
    filer->writeString(AcDb::kDxfTextFontFile, m_fileName.c_str());
    filer->writeString(AcDb::kDxfTextBigFontFile, "");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbTextStyleTableRecord"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadRecordItems(filer, *this, [this](const resbuf& item) {
        double v = item.resval.rreal;
        if (item.restype == AcDb::kDxfTxtSize)
            m_textSize = std::isfinite(v) && v >= 0.0 ? v : 0.0;
        else if (item.restype == AcDb::kDxfTxtStyleXScale)
            m_xScale = std::isfinite(v) && v > 0.0 ? v : 1.0;
        else if (item.restype == AcDb::kDxfTextFontFile)
            m_fileName = TextOf(item);
        return Acad::eOk;
    });
    return es != Acad::eOk ? es : filer->filerStatus();
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbRegAppTableRecord");
    filer->writeString(AcDb::kDxfSymbolTableName, nameText().c_str());
    filer->writeInt16(AcDb::kDxfInt16, 0);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbRegAppTableRecord"))
        return filer->filerStatus();
    Acad::ErrorStatus es = ReadRecordItems(filer, *this, [](const resbuf&) { return Acad::eOk; });
    return es != Acad::eOk ? es : filer->filerStatus();
}
