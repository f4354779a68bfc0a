// Dictionaries: entries, replacement, removal and iteration.
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "db/databaseimpl.h"
#include "db/dictionaryimpl.h"
#include "db/objectaccess.h"
#include "db/objectstate.h"
#include "db/symbolname.h"
#include "db/undolog.h"

#include <algorithm>
#include <vector>

using namespace cadhost::db;

// ---- Impl ------------------------------------------------------------------------------------

const AcDbDictionary::Impl::Entry* AcDbDictionary::Impl::find(const std::string& folded) const {
    auto it = entries.find(folded);
    if (it == entries.end() || it->second.id.isErased())
        return nullptr;
    return &it->second;
}

void AcDbDictionary::Impl::put(const std::string& key, AcDbObjectId id, std::uint64_t order) {
    std::string folded = FoldCase(key);
    drop(folded);
    entries[folded] = Entry{key, id, order == kNewOrder ? nextOrder++ : order};
    foldedKeyOf[id] = folded;
}

void AcDbDictionary::Impl::drop(const std::string& folded) {
    auto it = entries.find(folded);
    if (it == entries.end())
        return;
    auto rev = foldedKeyOf.find(it->second.id);
    if (rev != foldedKeyOf.end() && rev->second == folded)
        foldedKeyOf.erase(rev);
    entries.erase(it);
}

namespace {

// A status for a container operation on an object that must be open for write.
bool RefuseUnlessWritable(const AcDbObject& object, Acad::ErrorStatus& es) {
    if (object.isWriteEnabled())
        return false;
    if (!object.isReadEnabled())
        AbortNotOpen(object, "write");
    es = Acad::eNotOpenForWrite;
    return true;
}

// Deeper than any real drawing nests its dictionaries.
constexpr int kMaxOwnerDepth = 4096;

Acad::ErrorStatus CheckKey(const char* key) {
    if (!key)
        return Acad::eInvalidInput;
    return IsValidSymbolName(key) ? Acad::eOk : Acad::eInvalidKey;
}

} // namespace

// ---- AcDbDictionary --------------------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, "DICTIONARY", nullptr)

AcDbDictionary::AcDbDictionary() : m_impl(new Impl) {}
AcDbDictionary::~AcDbDictionary() {
    delete m_impl;
}

Acad::ErrorStatus AcDbDictionary::getAt(const char* key, AcDbObject*& object,
                                        AcDb::OpenMode mode) const {
    object = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getAt(key, id); es != Acad::eOk)
        return es;
    return acdbOpenObject(object, id, mode);
}

Acad::ErrorStatus AcDbDictionary::getAt(const char* key, AcDbObjectId& id) const {
    assertReadEnabled();
    id = AcDbObjectId();
    if (Acad::ErrorStatus es = CheckKey(key); es != Acad::eOk)
        return es;
    const Impl::Entry* entry = m_impl->find(FoldCase(key));
    if (!entry)
        return Acad::eKeyNotFound;
    id = entry->id;
    return Acad::eOk;
}

bool AcDbDictionary::has(const char* key) const {
    AcDbObjectId id;
    return getAt(key, id) == Acad::eOk;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
    assertReadEnabled();
    return m_impl->foldedKeyOf.count(id) && !id.isErased();
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, char*& name) const {
    assertReadEnabled();
    name = nullptr;
    auto it = m_impl->foldedKeyOf.find(id);
    if (it == m_impl->foldedKeyOf.end() || id.isErased())
        return Acad::eKeyNotFound;
    name = acutNewString(m_impl->entries.at(it->second).key.c_str());
    return name ? Acad::eOk : Acad::eOutOfMemory;
}

Adesk::Int32 AcDbDictionary::numEntries() const {
    assertReadEnabled();
    Adesk::Int32 count = 0;
    for (const auto& [folded, entry] : m_impl->entries)
        if (!entry.id.isErased())
            ++count;
    return count;
}

Acad::ErrorStatus AcDbDictionary::setAt(const char* key, AcDbObject* value, AcDbObjectId& id) {
    id = AcDbObjectId();
    Acad::ErrorStatus es = Acad::eOk;
    if (RefuseUnlessWritable(*this, es))
        return es;
    if ((es = CheckKey(key)) != Acad::eOk)
        return es;
    if (!value)
        return Acad::eNullObjectPointer;
    AcDbDatabase* db = database();
    if (!db)
        return Acad::eNotInDatabase;
    if (value->isDatabaseResident()) {
        if (value->database() != db)
            return Acad::eWrongDatabase;
        if (value->isErased())
            return Acad::eWasErased;
        // Ownership must stay a tree: a dictionary cannot hold itself or one of its owners.
        // (setOwnerId can still knot owners into a ring; the depth bound stops the walk.)
        int depth = 0;
        for (AcDbObjectId up = objectId(); !up.isNull(); ++depth) {
            if (up == value->objectId() || depth > kMaxOwnerDepth)
                return Acad::eInvalidInput;
            AcDbObject* owner = ObjectOf(up);
            up = owner ? owner->ownerId() : AcDbObjectId();
        }
        if (!value->ownerId().isNull() && value->ownerId() != objectId())
            return Acad::eAlreadyInDb;
        if (!value->isWriteEnabled())
            return value->isReadEnabled() ? Acad::eWasOpenForRead : Acad::eNotOpenForWrite;
    }

    // Recorded before the entries change, so that undo brings back the ones there were.
    assertWriteEnabled();
    std::string folded = FoldCase(key);
    const Impl::Entry* old = m_impl->find(folded);
    if (old && old->id == value->objectId()) {
        // The same object under the same key: only the spelling may change.
        m_impl->put(key, old->id, old->order);
        id = value->objectId();
        assertWriteEnabled();
        return Acad::eOk;
    }
    // The replaced object is erased first: opening it for write makes sure no one else has
    // it open, and a refusal leaves everything as it was.
    AcDbObject* replaced = nullptr;
    if (old) {
        if ((es = acdbOpenObject(replaced, old->id, AcDb::kForWrite)) != Acad::eOk)
            return es;
        if ((es = replaced->erase()) != Acad::eOk) {
            replaced->close();
            return es;
        }
    }
    if (!value->isDatabaseResident()) {
        if ((es = db->impl()->add(value, objectId(), id)) != Acad::eOk) {
            if (replaced) {
                replaced->erase(false);
                replaced->close();
            }
            return es;
        }
    } else {
        // An entry of this dictionary moving to another key.
        auto rev = m_impl->foldedKeyOf.find(value->objectId());
        if (rev != m_impl->foldedKeyOf.end())
            m_impl->drop(std::string(rev->second));
        NoteObjectChange(*value);
        ObjectAccess::setOwner(*value, objectId());
        id = value->objectId();
    }
    if (replaced) {
        ObjectAccess::setOwner(*replaced, AcDbObjectId());
        replaced->close();
    }
    m_impl->put(key, id);
    assertWriteEnabled();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key) {
    AcDbObjectId id;
    return remove(key, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key, AcDbObjectId& removedId) {
    removedId = AcDbObjectId();
    Acad::ErrorStatus es = Acad::eOk;
    if (RefuseUnlessWritable(*this, es))
        return es;
    if ((es = CheckKey(key)) != Acad::eOk)
        return es;
    const Impl::Entry* entry = m_impl->find(FoldCase(key));
    if (!entry)
        return Acad::eKeyNotFound;
    removedId = entry->id;
    return remove(removedId);
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
    Acad::ErrorStatus es = Acad::eOk;
    if (RefuseUnlessWritable(*this, es))
        return es;
    auto it = m_impl->foldedKeyOf.find(id);
    if (it == m_impl->foldedKeyOf.end() || id.isErased())
        return Acad::eKeyNotFound;
    assertWriteEnabled();
    m_impl->drop(std::string(it->second));
    // The object stays in the drawing, unerased, owned by no one until someone takes it.
    if (AcDbObject* object = ObjectOf(id)) {
        NoteObjectChange(*object);
        ObjectAccess::setOwner(*object, AcDbObjectId());
    }
    assertWriteEnabled();
    return Acad::eOk;
}

bool AcDbDictionary::setName(const char* oldName, const char* newName) {
    Acad::ErrorStatus es = Acad::eOk;
    if (RefuseUnlessWritable(*this, es))
        return false;
    if (CheckKey(oldName) != Acad::eOk || CheckKey(newName) != Acad::eOk)
        return false;
    const Impl::Entry* entry = m_impl->find(FoldCase(oldName));
    if (!entry)
        return false;
    const Impl::Entry* taken = m_impl->find(FoldCase(newName));
    if (taken && taken != entry)
        return false;
    AcDbObjectId id = entry->id;
    std::uint64_t order = entry->order;
    assertWriteEnabled();
    m_impl->drop(FoldCase(oldName));
    m_impl->put(newName, id, order);
    assertWriteEnabled();
    return true;
}

Acad::ErrorStatus AcDbDictionary::subErase(bool erasing) {
    // The named objects dictionary is the root of the drawing's data.
    if (erasing && database() && database()->namedObjectsDictionaryId() == objectId())
        return Acad::eCannotBeErasedByCaller;
    return Acad::eOk;
}

// ---- Iterator --------------------------------------------------------------------------------

AcDbDictionaryIterator::~AcDbDictionaryIterator() = default;

namespace {

class DictionaryIterator : public AcDbDictionaryIterator {
public:
    struct Item {
        std::string key;
        AcDbObjectId id;
    };
    explicit DictionaryIterator(std::vector<Item> items) : m_items(std::move(items)) {
        skipErased();
    }

    bool done() const override { return m_pos >= m_items.size(); }
    bool next() override {
        if (done())
            return false;
        ++m_pos;
        skipErased();
        return !done();
    }
    const char* name() const override { return done() ? nullptr : m_items[m_pos].key.c_str(); }
    AcDbObjectId objectId() const override { return done() ? AcDbObjectId() : m_items[m_pos].id; }
    Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode) override {
        object = nullptr;
        if (done())
            return Acad::eInvalidIndex;
        return acdbOpenObject(object, m_items[m_pos].id, mode);
    }
    bool setPosition(AcDbObjectId id) override {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i].id == id && !id.isErased()) {
                m_pos = i;
                return true;
            }
        }
        return false;
    }

private:
    void skipErased() {
        while (!done() && m_items[m_pos].id.isErased())
            ++m_pos;
    }

    std::vector<Item> m_items;
    std::size_t m_pos = 0;
};

} // namespace

AcDbDictionaryIterator* AcDbDictionary::newIterator(AcRx::DictIterType type) const {
    assertReadEnabled();
    std::vector<const Impl::Entry*> entries;
    entries.reserve(m_impl->entries.size());
    for (const auto& [folded, entry] : m_impl->entries)
        entries.push_back(&entry);
    if (type == AcRx::kDictCollated)
        std::sort(entries.begin(), entries.end(),
                  [](const Impl::Entry* a, const Impl::Entry* b) { return a->order < b->order; });
    std::vector<DictionaryIterator::Item> items;
    items.reserve(entries.size());
    for (const Impl::Entry* entry : entries)
        items.push_back({entry->key, entry->id});
    return new DictionaryIterator(std::move(items));
}
