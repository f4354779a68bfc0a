// Filing of dictionaries: their entries as (key, owned object) pairs.
#include "arx/dbdict.h"
#include "db/dictionaryimpl.h"
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

Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbDictionary");
    // Entries are owned softly (280 = 0) and a clash on merge keeps the existing one (281).
    filer->writeInt16(AcDb::kDxfInt8, 0);
    filer->writeInt16(static_cast<AcDb::DxfCode>(281), 1);
    for (const auto& [folded, entry] : m_impl->entries) {
        if (entry.id.isErased())
            continue;
        filer->writeString(AcDb::kDxfDimStyleName, entry.key.c_str());
        filer->writeObjectId(AcDb::kDxfSoftOwnershipId, entry.id);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbDictionary"))
        return filer->filerStatus();
    Impl fresh;
    std::string key;
    bool haveKey = false;
    Acad::ErrorStatus es = ReadSubclassItems(filer, [&](const resbuf& item) {
        if (item.restype == 3) {
            key = TextOf(item);
            haveKey = true;
            if (!IsValidSymbolName(key.c_str()))
                return filer->setError(Acad::eInvalidKey, "invalid dictionary key \"%s\"",
                                       key.c_str());
        } else if (item.restype == 350 || item.restype == 360) {
            if (!haveKey)
                return filer->setError(Acad::eBadDxfSequence, "dictionary entry without a key");
            fresh.put(key, IdOf(item));
            haveKey = false;
        }
        return Acad::eOk;
    });
    if (es != Acad::eOk)
        return es;
    *m_impl = std::move(fresh);
    return filer->filerStatus();
}
