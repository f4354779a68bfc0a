// Symbol tables: lookup, adding records, iteration.
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/objectaccess.h"
#include "db/objectstate.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

namespace cadhost::db {

AcDbObjectId FindSymbol(AcDbObjectId tableId, std::string_view name, bool getErased) {
    auto* table = ObjectOf<AcDbSymbolTable>(tableId);
    if (!table)
        return {};
    auto& byName = table->impl()->byName;
    auto it = byName.find(FoldCase(name));
    if (it == byName.end() || (!getErased && it->second.isErased()))
        return {};
    return it->second;
}

std::string SymbolNameOf(AcDbObjectId recordId) {
    auto* record = ObjectOf<AcDbSymbolTableRecord>(recordId);
    return record ? record->nameText() : std::string();
}

Acad::ErrorStatus AddSymbol(AcDbSymbolTable& table, AcDbSymbolTableRecord* record,
                            AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!record)
        return Acad::eNullObjectPointer;
    if (record->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (!record->isKindOf(table.recordClass()))
        return Acad::eWrongObjectType;
    AcDbDatabase* db = table.database();
    if (!db)
        return Acad::eNotInDatabase;
    const std::string& name = record->nameText();
    if (!IsValidSymbolName(name.c_str(), AcDbBlockTable::cast(&table) != nullptr))
        return Acad::eInvalidSymbolTableName;
    std::string folded = FoldCase(name);
    auto& impl = *table.impl();
    if (auto it = impl.byName.find(folded); it != impl.byName.end() && !it->second.isErased())
        return Acad::eDuplicateRecordName;
    if (Acad::ErrorStatus es = db->impl()->add(record, table.objectId(), id); es != Acad::eOk)
        return es;
    impl.records.push_back(id);
    impl.byName[folded] = id;
    return Acad::eOk;
}

} // namespace cadhost::db

using namespace cadhost::db;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)

AcDbSymbolTable::AcDbSymbolTable() : m_impl(new Impl) {}
AcDbSymbolTable::~AcDbSymbolTable() {
    delete m_impl;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* name, AcDbObjectId& id, bool getErased) const {
    assertReadEnabled();
    id = AcDbObjectId();
    if (!name)
        return Acad::eInvalidInput;
    auto it = m_impl->byName.find(FoldCase(name));
    if (it == m_impl->byName.end() || (!getErased && it->second.isErased()))
        return Acad::eKeyNotFound;
    id = it->second;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* name, AcDbSymbolTableRecord*& record,
                                         AcDb::OpenMode mode, bool openErasedRecord) const {
    record = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getAt(name, id, openErasedRecord); es != Acad::eOk)
        return es;
    return acdbOpenObject(record, id, mode, openErasedRecord);
}

bool AcDbSymbolTable::has(const char* name) const {
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    assertReadEnabled();
    AcDbObject* record = ObjectOf(id);
    return record && !record->isErased() && record->ownerId() == objectId() &&
           record->isKindOf(recordClass());
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* record) {
    AcDbObjectId id;
    return add(id, record);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    id = AcDbObjectId();
    if (!isWriteEnabled()) {
        if (!isReadEnabled())
            AbortNotOpen(*this, "write");
        return Acad::eNotOpenForWrite;
    }
    // Recorded before the record list grows, so that undo brings back the list there was.
    assertWriteEnabled();
    Acad::ErrorStatus es = AddSymbol(*this, record, id);
    if (es == Acad::eOk)
        assertWriteEnabled();
    return es;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
    assertReadEnabled();
    iterator = new AcDbSymbolTableIterator(this);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::subErase(bool erasing) {
    // The database refers to its tables directly; they live as long as it does.
    return erasing ? Acad::eCannotBeErasedByCaller : Acad::eOk;
}

// ---- The typed tables ------------------------------------------------------------------------

#define CADHOST_DEFINE_SYMBOL_TABLE(TABLE, RECORD, ITERATOR)                                       \
    TABLE::TABLE() = default;                                                                      \
    TABLE::~TABLE() = default;                                                                     \
    Acad::ErrorStatus TABLE::getAt(const char* name, RECORD*& record, AcDb::OpenMode mode,         \
                                   bool openErasedRecord) const {                                  \
        record = nullptr;                                                                          \
        AcDbObjectId id;                                                                           \
        if (Acad::ErrorStatus es = AcDbSymbolTable::getAt(name, id, openErasedRecord);             \
            es != Acad::eOk)                                                                       \
            return es;                                                                             \
        return acdbOpenObject(record, id, mode, openErasedRecord);                                 \
    }                                                                                              \
    Acad::ErrorStatus TABLE::add(RECORD* record) {                                                 \
        return AcDbSymbolTable::add(record);                                                       \
    }                                                                                              \
    Acad::ErrorStatus TABLE::add(AcDbObjectId& id, RECORD* record) {                               \
        return AcDbSymbolTable::add(id, record);                                                   \
    }                                                                                              \
    Acad::ErrorStatus TABLE::newIterator(ITERATOR*& iterator, bool atBeginning, bool skipDeleted)  \
        const {                                                                                    \
        assertReadEnabled();                                                                       \
        iterator = new ITERATOR(this);                                                             \
        iterator->start(atBeginning, skipDeleted);                                                 \
        return Acad::eOk;                                                                          \
    }                                                                                              \
    AcRxClass* TABLE::recordClass() const {                                                        \
        return RECORD::desc();                                                                     \
    }                                                                                              \
    ACRX_DXF_DEFINE_MEMBERS(TABLE, AcDbSymbolTable, "TABLE", nullptr)

CADHOST_DEFINE_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator)
CADHOST_DEFINE_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator)
CADHOST_DEFINE_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord,
                            AcDbTextStyleTableIterator)
CADHOST_DEFINE_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator)

#undef CADHOST_DEFINE_SYMBOL_TABLE

// ---- Iterator --------------------------------------------------------------------------------

AcDbSymbolTableIterator::AcDbSymbolTableIterator(const AcDbSymbolTable* table) : m_table(table) {}
AcDbSymbolTableIterator::~AcDbSymbolTableIterator() = default;

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
    m_pos = atBeginning ? 0 : static_cast<long>(m_table->impl()->records.size()) - 1;
    if (skipDeleted)
        skipErased(atBeginning);
}

bool AcDbSymbolTableIterator::done() const {
    return m_pos < 0 || m_pos >= static_cast<long>(m_table->impl()->records.size());
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
    if (done())
        return;
    m_pos += forward ? 1 : -1;
    if (skipDeleted)
        skipErased(forward);
}

void AcDbSymbolTableIterator::skipErased(bool forward) {
    const auto& records = m_table->impl()->records;
    while (!done() && records[static_cast<std::size_t>(m_pos)].isErased())
        m_pos += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
    id = AcDbObjectId();
    if (done())
        return Acad::eInvalidIndex;
    id = m_table->impl()->records[static_cast<std::size_t>(m_pos)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record,
                                                     AcDb::OpenMode mode,
                                                     bool openErasedRecord) const {
    record = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getRecordId(id); es != Acad::eOk)
        return es;
    return acdbOpenObject(record, id, mode, openErasedRecord);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id) {
    const auto& records = m_table->impl()->records;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i] == id) {
            m_pos = static_cast<long>(i);
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}
