// Filing of symbol tables, their records and blocks.
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/dxfclass.h"
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

bool IsTextSize(double v) {
    return std::isfinite(v) && v >= 0.0;
}

bool IsWidthFactor(double v) {
    return std::isfinite(v) && v > 0.0;
}

// A record's name (2), read through setName so that a bad name fails the read.
template <class T> typename DxfSubclass<T>::Field NameField() {
    return DxfSubclass<T>::custom(
        {AcDb::kDxfSymbolTableName},
        [](const T& record, AcDbDxfFiler* f) {
            f->writeString(AcDb::kDxfSymbolTableName, record.nameText().c_str());
        },
        [](T& record, NoReadState&, const resbuf& item, AcDbDxfFiler* f) {
            if (Acad::ErrorStatus es = record.setName(TextOf(item).c_str()); es != Acad::eOk)
                return f->setError(es, "invalid symbol name \"%s\"", TextOf(item).c_str());
            return Acad::eOk;
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

template <> struct cadhost::db::DxfFields<AcDbSymbolTable> {
    using Subclass = DxfSubclass<AcDbSymbolTable>;
    static const Subclass subclass;
};

const DxfFields<AcDbSymbolTable>::Subclass DxfFields<AcDbSymbolTable>::subclass(
    "AcDbSymbolTable", {
                           // The count of live records; only a hint when read, as the records come
                           // as objects of their own.
                           Subclass::custom({AcDb::kDxfInt16},
                                            [](const AcDbSymbolTable& table, AcDbDxfFiler* f) {
                                                Adesk::Int16 live = 0;
                                                for (const AcDbObjectId& id : table.impl()->records)
                                                    if (!id.isErased())
                                                        ++live;
                                                f->writeInt16(AcDb::kDxfInt16, live);
                                            },
                                            {}),
                       });

Acad::ErrorStatus AcDbSymbolTable::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbSymbolTable>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbSymbolTable::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbSymbolTable>::subclass.fileIn(*this, filer);
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

template <> struct cadhost::db::DxfFields<AcDbSymbolTableRecord> {
    using Subclass = DxfSubclass<AcDbSymbolTableRecord>;
    static const Subclass subclass;
};

const DxfFields<AcDbSymbolTableRecord>::Subclass
    DxfFields<AcDbSymbolTableRecord>::subclass("AcDbSymbolTableRecord", {});

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbSymbolTableRecord>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbSymbolTableRecord>::subclass.fileIn(*this, filer);
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

template <> struct cadhost::db::DxfFields<AcDbBlockTableRecord> {
    using Subclass = DxfSubclass<AcDbBlockTableRecord>;
    static const Subclass subclass;
};

const DxfFields<AcDbBlockTableRecord>::Subclass
    DxfFields<AcDbBlockTableRecord>::subclass("AcDbBlockTableRecord",
                                              {NameField<AcDbBlockTableRecord>()});

Acad::ErrorStatus AcDbBlockTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbBlockTableRecord>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbBlockTableRecord>::subclass.fileIn(*this, filer);
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

template <> struct cadhost::db::DxfFields<AcDbLayerTableRecord> {
    using Subclass = DxfSubclass<AcDbLayerTableRecord>;
    static const Subclass subclass;
};

const DxfFields<AcDbLayerTableRecord>::Subclass DxfFields<AcDbLayerTableRecord>::subclass(
    "AcDbLayerTableRecord",
    {
        NameField<AcDbLayerTableRecord>(),
        Subclass::custom(
            {AcDb::kDxfInt16},
            [](const AcDbLayerTableRecord& r, AcDbDxfFiler* f) {
                f->writeInt16(AcDb::kDxfInt16, static_cast<Adesk::Int16>((r.m_frozen ? 1 : 0) |
                                                                         (r.m_locked ? 4 : 0)));
            },
            [](AcDbLayerTableRecord& r, NoReadState&, const resbuf& item, AcDbDxfFiler*) {
                r.m_frozen = item.resval.rint & 1;
                r.m_locked = item.resval.rint & 4;
                return Acad::eOk;
            }),
        // A layer that is off files its colour negated.
        Subclass::custom(
            {AcDb::kDxfColor},
            [](const AcDbLayerTableRecord& r, AcDbDxfFiler* f) {
                f->writeInt16(AcDb::kDxfColor,
                              static_cast<Adesk::Int16>(r.m_off ? -r.m_color : r.m_color));
            },
            [](AcDbLayerTableRecord& r, NoReadState&, const resbuf& item, AcDbDxfFiler*) {
                int color = item.resval.rint;
                r.m_off = color < 0;
                color = color < 0 ? -color : color;
                r.m_color = static_cast<Adesk::Int16>(color >= 1 && color <= 255 ? color : 7);
                return Acad::eOk;
            }),
        // The host draws every layer continuous; a linetype read from a file stays.
        Subclass::keptOnChange(Subclass::fixedString(AcDb::kDxfLinetypeName, "Continuous")),
    });

Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbLayerTableRecord>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbLayerTableRecord>::subclass.fileIn(*this, filer);
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
    m_textSize = IsTextSize(size) ? size : 0.0;
    m_xScale = IsWidthFactor(xScale) ? xScale : 1.0;
    m_fileName = file;
    return filer->filerStatus();
}

template <> struct cadhost::db::DxfFields<AcDbTextStyleTableRecord> {
    using Subclass = DxfSubclass<AcDbTextStyleTableRecord>;
    static const Subclass subclass;
};

const DxfFields<AcDbTextStyleTableRecord>::Subclass DxfFields<AcDbTextStyleTableRecord>::subclass(
    "AcDbTextStyleTableRecord",
    {
        NameField<AcDbTextStyleTableRecord>(),
        Subclass::fixedInt16(AcDb::kDxfInt16, 0),
        Subclass::real(AcDb::kDxfTxtSize, &AcDbTextStyleTableRecord::m_textSize, IsTextSize, 0.0),
        Subclass::real(AcDb::kDxfTxtStyleXScale, &AcDbTextStyleTableRecord::m_xScale, IsWidthFactor,
                       1.0),
        Subclass::fixedReal(AcDb::kDxfAngle, 0.0),
        Subclass::fixedInt16(AcDb::kDxfTxtStyleFlags, 0),
        // The last height used: the fixed height, or the host's default for new texts.
        Subclass::custom({AcDb::kDxfTxtStylePSize},
                         [](const AcDbTextStyleTableRecord& r, AcDbDxfFiler* f) {
                             f->writeDouble(AcDb::kDxfTxtStylePSize,
                                            r.m_textSize > 0.0 ? r.m_textSize : 2.5);
                         },
                         {}),
        Subclass::custom(
            {AcDb::kDxfTextFontFile},
            [](const AcDbTextStyleTableRecord& r, AcDbDxfFiler* f) {
                f->writeString(AcDb::kDxfTextFontFile, r.m_fileName.c_str());
            },
            [](AcDbTextStyleTableRecord& r, NoReadState&, const resbuf& item, AcDbDxfFiler*) {
                r.m_fileName = TextOf(item);
                return Acad::eOk;
            }),
        Subclass::fixedString(AcDb::kDxfTextBigFontFile, ""),
    });

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbTextStyleTableRecord>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbTextStyleTableRecord>::subclass.fileIn(*this, filer);
}

template <> struct cadhost::db::DxfFields<AcDbRegAppTableRecord> {
    using Subclass = DxfSubclass<AcDbRegAppTableRecord>;
    static const Subclass subclass;
};

const DxfFields<AcDbRegAppTableRecord>::Subclass DxfFields<AcDbRegAppTableRecord>::subclass(
    "AcDbRegAppTableRecord",
    {NameField<AcDbRegAppTableRecord>(), Subclass::fixedInt16(AcDb::kDxfInt16, 0)});

Acad::ErrorStatus AcDbRegAppTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbRegAppTableRecord>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbRegAppTableRecord>::subclass.fileIn(*this, filer);
}
