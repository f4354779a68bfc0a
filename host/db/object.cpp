// Database objects: identity, the open state and erasing.
#include "arx/dbentity.h"
#include "arx/dbobject.h"
#include "db/databaseimpl.h"
#include "db/edits.h"
#include "db/objectaccess.h"
#include "db/objectstate.h"
#include "db/undolog.h"
#include "db/writegate.h"
#include "db/xdatastore.h"

namespace cadhost::db {

bool ShowsElsewhereWhenWritten(const AcDbObject& object) {
    return !object.isKindOf(AcDbEntity::desc());
}

const char* OpenStateText(const AcDbObject& object) {
    if (ObjectAccess::writer(object))
        return "open for write";
    if (ObjectAccess::readers(object))
        return "open for read";
    if (ObjectAccess::notifiers(object))
        return "open for notify";
    return "closed";
}

void AbortNotOpen(const AcDbObject& object, const char* wanted) {
    AcRxClass* cls = object.isA();
    char handle[AcDbHandle::kStrSiz];
    object.objectId().handle().getIntoAsciiBuffer(handle, sizeof handle);
    acrx_abort("object of class %s is not open for %s (it is %s; handle %s)",
               cls ? cls->name() : "?", wanted, OpenStateText(object), handle);
}

} // namespace cadhost::db

using namespace cadhost::db;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObject, AcRxObject)

AcDbObject::AcDbObject() = default;

AcDbObject::~AcDbObject() {
    if (m_database) {
        // The database still lists the object: deleting it would leave its id pointing at
        // freed memory.  Only the database deletes its objects.
        char handle[AcDbHandle::kStrSiz];
        m_id.handle().getIntoAsciiBuffer(handle, sizeof handle);
        acrx_abort("an object in a database was deleted (handle %s); erase it instead", handle);
    }
    DeleteXData(m_xdata);
}

AcDbObjectId AcDbObject::objectId() const {
    return m_id;
}
AcDbObjectId AcDbObject::ownerId() const {
    return m_owner;
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
    assertWriteEnabled();
    m_owner = owner;
    return Acad::eOk;
}

AcDbDatabase* AcDbObject::database() const {
    return m_database;
}
void AcDbObject::getAcDbHandle(AcDbHandle& handle) const {
    handle = m_id.handle();
}

bool AcDbObject::isErased() const {
    return m_erased;
}
bool AcDbObject::isDatabaseResident() const {
    return m_database != nullptr;
}
bool AcDbObject::isReadEnabled() const {
    return !m_database || m_writer || m_readers || m_notifiers;
}
bool AcDbObject::isWriteEnabled() const {
    return !m_database || m_writer;
}
bool AcDbObject::isNotifyEnabled() const {
    return m_database && m_notifiers;
}
bool AcDbObject::isNewObject() const {
    return m_new;
}
bool AcDbObject::isModified() const {
    return m_modified;
}

Acad::ErrorStatus AcDbObject::close() {
    if (!m_database)
        return Acad::eOk;
    // Opens are not told apart: close ends the most recent kind first (a notify open
    // nests inside a read or write one).
    if (m_notifiers)
        --m_notifiers;
    else if (m_writer) {
        m_writer = false;
        if (AcDbDatabase::Impl* impl = m_database->impl())
            ++impl->changeCount;
    } else if (m_readers)
        --m_readers;
    else
        acrx_abort("object of class %s was closed but is not open", isA() ? isA()->name() : "?");
    if (!m_writer && !m_readers && !m_notifiers) {
        m_new = false;
        m_modified = false;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    if (!m_database || m_writer)
        return Acad::eWasOpenForWrite;
    if (m_notifiers)
        return Acad::eWasOpenForNotify;
    if (m_readers == 0)
        AbortNotOpen(*this, "read");
    if (m_readers > 1)
        return Acad::eHadMultipleReaders;
    if (!cadhost::db::WriteAllowed(m_database))
        return Acad::eLockViolation;
    cadhost::db::BeforeObjectChange(m_database, *this,
                                    cadhost::db::ShowsElsewhereWhenWritten(*this));
    m_readers = 0;
    m_writer = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    if (!m_database)
        return Acad::eNotInDatabase;
    if (!m_writer) {
        if (!m_readers && !m_notifiers)
            AbortNotOpen(*this, "write");
        return Acad::eWasNotOpenForWrite;
    }
    m_writer = false;
    m_readers = 1;
    if (AcDbDatabase::Impl* impl = m_database->impl())
        ++impl->changeCount;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    if (!m_database)
        return Acad::eNotInDatabase;
    if (!m_writer) {
        if (!m_readers && !m_notifiers)
            AbortNotOpen(*this, "write");
        return Acad::eNotOpenForWrite;
    }
    if (erasing == m_erased)
        return erasing ? Acad::eWasErased : Acad::eWasNotErased;
    BeforeObjectChange(m_database, *this, true);
    NoteObjectChange(*this);
    if (Acad::ErrorStatus es = subErase(erasing); es != Acad::eOk)
        return es;
    m_erased = erasing;
    m_modified = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::subErase(bool) {
    return Acad::eOk;
}

void AcDbObject::assertReadEnabled() const {
    if (!isReadEnabled())
        AbortNotOpen(*this, "read");
}

void AcDbObject::assertWriteEnabled(bool autoUndo, bool recordModified) {
    if (!isWriteEnabled())
        AbortNotOpen(*this, "write");
    if (autoUndo && m_database)
        NoteObjectChange(*this);
    else if (recordModified)
        NoteEdit(m_database);
    if (recordModified)
        m_modified = true;
}

void AcDbObject::assertNotifyEnabled() const {
    if (!isNotifyEnabled() && !isReadEnabled())
        AbortNotOpen(*this, "notify");
}
