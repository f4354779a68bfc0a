// Blocks: their entities and the iterator over them.
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/entityaccess.h"
#include "db/objectstate.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

using namespace cadhost::db;

ACRX_DXF_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, "BLOCK_RECORD", nullptr)

AcDbBlockTableRecord::AcDbBlockTableRecord() : m_impl(new Impl) {}
AcDbBlockTableRecord::~AcDbBlockTableRecord() {
    delete m_impl;
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    id = AcDbObjectId();
    if (!isWriteEnabled()) {
        if (!isReadEnabled())
            AbortNotOpen(*this, "write");
        return Acad::eNotOpenForWrite;
    }
    if (!isDatabaseResident())
        return Acad::eNotInDatabase;
    if (isErased())
        return Acad::eWasErased;
    if (!entity)
        return Acad::eNullEntityPointer;
    if (entity->isDatabaseResident())
        return Acad::eAlreadyInDb;
    // Recorded before the entity list grows, so that undo brings back the list there was.
    assertWriteEnabled();
    if (Acad::ErrorStatus es = database()->impl()->add(entity, objectId(), id); es != Acad::eOk)
        return es;
    EntityAccess::bindToDatabase(*entity);
    m_impl->entities.push_back(id);
    assertWriteEnabled();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator,
                                                    bool atBeginning, bool skipDeleted) const {
    assertReadEnabled();
    iterator = new AcDbBlockTableRecordIterator(this);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

bool AcDbBlockTableRecord::hasEntities() const {
    assertReadEnabled();
    for (const AcDbObjectId& id : m_impl->entities)
        if (!id.isErased())
            return true;
    return false;
}

bool AcDbBlockTableRecord::isLayout() const {
    assertReadEnabled();
    // Layouts are the spaces: *Model_Space and *Paper_Space with its numbered siblings.
    std::string folded = FoldCase(nameText());
    return folded == FoldCase(ACDB_MODEL_SPACE) || folded.rfind(FoldCase(ACDB_PAPER_SPACE), 0) == 0;
}

// ---- Iterator --------------------------------------------------------------------------------

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* block)
    : m_block(block) {}
AcDbBlockTableRecordIterator::~AcDbBlockTableRecordIterator() = default;

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
    m_pos = atBeginning ? 0 : static_cast<long>(m_block->impl()->entities.size()) - 1;
    if (skipDeleted)
        skipErased(atBeginning);
}

bool AcDbBlockTableRecordIterator::done() const {
    return m_pos < 0 || m_pos >= static_cast<long>(m_block->impl()->entities.size());
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
    if (done())
        return;
    m_pos += forward ? 1 : -1;
    if (skipDeleted)
        skipErased(forward);
}

void AcDbBlockTableRecordIterator::skipErased(bool forward) {
    const auto& entities = m_block->impl()->entities;
    while (!done() && entities[static_cast<std::size_t>(m_pos)].isErased())
        m_pos += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
    id = AcDbObjectId();
    if (done())
        return Acad::eInvalidIndex;
    id = m_block->impl()->entities[static_cast<std::size_t>(m_pos)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErasedEntity) const {
    entity = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getEntityId(id); es != Acad::eOk)
        return es;
    return acdbOpenObject(entity, id, mode, openErasedEntity);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id) {
    const auto& entities = m_block->impl()->entities;
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i] == id) {
            m_pos = static_cast<long>(i);
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}
