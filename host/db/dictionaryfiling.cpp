// Filing of dictionaries: their entries as (key, owned object) pairs.
#include "arx/dbdict.h"
#include "db/dictionaryimpl.h"
#include "db/dxfclass.h"
#include "db/dxfitems.h"
#include "db/symbolname.h"

#include <algorithm>
#include <vector>

using namespace cadhost::db;

namespace {

// Entries in the order they were stored, so that a copy iterates collated as the original.
// An undo record keeps the entries of erased objects too: undoing their erase brings them
// back under their keys.
std::vector<const AcDbDictionary::Impl::Entry*> InStoredOrder(const AcDbDictionary::Impl& impl,
                                                              bool withErased) {
    std::vector<const AcDbDictionary::Impl::Entry*> entries;
    for (const auto& [folded, entry] : impl.entries)
        if (withErased || !entry.id.isErased())
            entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(), [](auto* a, auto* b) { return a->order < b->order; });
    return entries;
}

} // namespace

Acad::ErrorStatus AcDbDictionary::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer); es != Acad::eOk)
        return es;
    auto entries = InStoredOrder(*m_impl, filer->filerType() == AcDb::kUndoFiler);
    filer->writeInt32(static_cast<Adesk::Int32>(entries.size()));
    for (const Impl::Entry* entry : entries) {
        filer->writeString(entry->key.c_str());
        filer->writeSoftOwnershipId(entry->id);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dwgInFields(filer); es != Acad::eOk)
        return es;
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) != Acad::eOk)
        return filer->filerStatus();
    if (count < 0) {
        filer->setFilerStatus(Acad::eInvalidInput);
        return filer->filerStatus();
    }
    Impl fresh;
    for (Adesk::Int32 i = 0; i < count; ++i) {
        std::string key;
        AcDbSoftOwnershipId id;
        if (ReadDwgString(filer, key) != Acad::eOk || filer->readSoftOwnershipId(&id) != Acad::eOk)
            return filer->filerStatus();
        if (!IsValidSymbolName(key.c_str())) {
            filer->setFilerStatus(Acad::eInvalidKey);
            return filer->filerStatus();
        }
        fresh.put(key, id);
    }
    *m_impl = std::move(fresh);
    return filer->filerStatus();
}

namespace {

struct DictionaryReading {
    AcDbDictionary::Impl entries;
    std::string key;
    bool haveKey = false;
};

} // namespace

template <> struct cadhost::db::DxfFields<AcDbDictionary> {
    using Subclass = DxfSubclass<AcDbDictionary, DictionaryReading>;
    static const Subclass subclass;
};

const DxfFields<AcDbDictionary>::Subclass DxfFields<AcDbDictionary>::subclass(
    "AcDbDictionary",
    {
        // Entries are owned softly (280 = 0) and a clash on merge keeps the existing one (281).
        Subclass::fixedInt16(AcDb::kDxfInt8, 0),
        Subclass::fixedInt16(281, 1),
        // Each entry: its key (3), then its object (350 owned softly, 360 hard).
        Subclass::custom(
            {3, 350, 360},
            [](const AcDbDictionary& d, AcDbDxfFiler* f) {
                for (const auto& [folded, entry] : d.impl()->entries) {
                    if (entry.id.isErased())
                        continue;
                    f->writeString(AcDb::kDxfDimStyleName, entry.key.c_str());
                    f->writeObjectId(AcDb::kDxfSoftOwnershipId, entry.id);
                }
            },
            [](AcDbDictionary&, DictionaryReading& r, const resbuf& item, AcDbDxfFiler* f) {
                if (item.restype == 3) {
                    r.key = TextOf(item);
                    r.haveKey = true;
                    if (!IsValidSymbolName(r.key.c_str()))
                        return f->setError(Acad::eInvalidKey, "invalid dictionary key \"%s\"",
                                           r.key.c_str());
                } else {
                    if (!r.haveKey)
                        return f->setError(Acad::eBadDxfSequence, "dictionary entry without a key");
                    r.entries.put(r.key, IdOf(item));
                    r.haveKey = false;
                }
                return Acad::eOk;
            }),
    },
    [](AcDbDictionary& d, DictionaryReading& r, AcDbDxfFiler*) {
        *d.impl() = std::move(r.entries);
    });

Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbDictionary>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbDictionary>::subclass.fileIn(*this, filer);
}
