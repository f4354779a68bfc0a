// Database objects and the open protocol.
//
// An object joins a database when it is added (AcDbDatabase::addAcDbObject, a dictionary's
// setAt, a symbol table's add, a block's appendAcDbEntity); from then on the database owns it
// and keeps it in memory until the database is destroyed.  Erasing only marks it.  Code
// reaches a database-resident object by opening its id (acdbOpenObject) and must close it
// when done; between open and close the object may be read (and written when opened for
// write).  Touching an object outside that span is a programming error that stops the host:
// every getter asserts that the object is open for read, every setter that it is open for
// write.  An object that is not in a database (made with new, not yet added) belongs to the
// code that made it, counts as open for write, and is deleted by that code.
#pragma once

#include "arx/acdb.h"
#include "arx/adsdefs.h"
#include "arx/dbfiler.h"
#include "arx/dbid.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"
#include "arx/rxobject.h"

#include <cstdint>

class AcDbDatabase;

namespace cadhost::db {
struct ObjectAccess;
struct XDataStore;
template <class T> struct DxfFields;
} // namespace cadhost::db

class AcDbObject : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbObject);
    // Only the database deletes an object it owns; deleting one stops the host.
    ~AcDbObject() override;
    AcDbObject(const AcDbObject&) = delete;
    AcDbObject& operator=(const AcDbObject&) = delete;

    // ---- Identity ----
    // Null until the object is added to a database.
    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const;
    virtual Acad::ErrorStatus setOwnerId(AcDbObjectId owner);
    AcDbDatabase* database() const;
    void getAcDbHandle(AcDbHandle& handle) const;

    // ---- Open state ----
    bool isErased() const;
    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    bool isNotifyEnabled() const;
    // Added to the database and not closed since.
    bool isNewObject() const;
    // Changed (assertWriteEnabled with recordModified) since it was opened for write.
    bool isModified() const;
    // Whether the object is in a database.
    bool isDatabaseResident() const;

    // Ends one open.  Closing an object that is not open stops the host; for an object that
    // is not in a database close does nothing (its maker deletes it).
    Acad::ErrorStatus close();
    // From the only reader to the writer: eHadMultipleReaders with other readers,
    // eWasOpenForWrite when already the writer, eWasOpenForNotify when opened for notify.
    Acad::ErrorStatus upgradeOpen();
    // From the writer to a reader: eWasNotOpenForWrite when not the writer.
    Acad::ErrorStatus downgradeOpen();
    // Marks the object erased (or, with false, not erased any more).  The object must be
    // open for write: eNotOpenForWrite when it is only open for read (a closed object stops
    // the host), eWasErased when already erased,
    // eWasNotErased when un-erasing an object that is not erased, eNotInDatabase for an
    // object that is not in a database, eCannotBeErasedByCaller for an object the database
    // relies on, or a refusal of the class's subErase.
    Acad::ErrorStatus erase(bool erasing = true);

    // Stop the host, with a message naming the class and its state, when the object is not
    // open so.  recordModified marks the object modified.
    void assertReadEnabled() const;
    void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);
    void assertNotifyEnabled() const;

    // ---- Extended data ----
    // A copy of the extended data of one registered application (starting with its 1001
    // item), or of all of them when appName is null; nullptr when there is none.  The caller
    // frees the chain with acutRelRb.
    resbuf* xData(const char* appName = nullptr) const;
    // Sets the extended data of the applications in the chain: each application's part
    // begins with its 1001 item and replaces that application's earlier part; a part that
    // is only the 1001 item removes the application's data.  The applications must be in
    // the database's registered application table (the working database's for an object
    // not yet in one).  Errors leave the data as it was: eNotOpenForWrite, eInvalidResBuf
    // (a part not starting with 1001, a group code outside 1000-1071 or unknown, braces of
    // 1002 that do not pair), eRegappIdNotFound, eXdataSizeExceeded (more than 16 KB on the
    // object), eNoDatabase.
    Acad::ErrorStatus setXData(const resbuf* xdata);
    // Moves the world-referenced items of the extended data with the object: 1011 positions,
    // 1012 displacements and 1013 directions turn with the matrix, 1041 distances and 1042
    // scale factors scale by it.  Other items are left alone.
    Acad::ErrorStatus xDataTransformBy(const AcGeMatrix3d& xform);

    // ---- Filing ----
    // The object's own part: its owner reference and (DWG) its extended data.  A class
    // that adds fields calls its parent's version first, then files its own.
    virtual Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);
    virtual Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
    // DXF: group 5 (handle) and 330 (owner).  Extended data goes at the end of the object,
    // after every class's fields, and is written by the file writer from xData().
    virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);
    virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;

protected:
    AcDbObject();
    // Called by erase before the mark changes; a status other than eOk refuses the change.
    virtual Acad::ErrorStatus subErase(bool erasing);

private:
    friend struct cadhost::db::ObjectAccess;

    AcDbObjectId m_id;
    AcDbObjectId m_owner;
    AcDbDatabase* m_database = nullptr;
    cadhost::db::XDataStore* m_xdata = nullptr;
    std::uint16_t m_readers = 0;
    std::uint16_t m_notifiers = 0;
    bool m_writer = false;
    bool m_erased = false;
    bool m_new = false;
    bool m_modified = false;
};

// Opens the object of an id.  Errors: eNullObjectId, eInvalidInput (an id that names no
// object slot), ePermanentlyErased (its database is gone, or no object was ever made for a
// reserved handle), eWasErased (unless openErased), eWasOpenForWrite (any open while open for
// write), eWasOpenForRead (write while open for read), eWasOpenForNotify (write while open
// for notify), eAtMaxReaders (a 257th reader).
Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);

// Opens the object as a T: eNotThatKindOfClass, without opening, when it is not one.
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) {
    object = nullptr;
    if (AcRxClass* cls = id.objectClass(); cls && !cls->isDerivedFrom(T::desc()))
        return Acad::eNotThatKindOfClass;
    AcDbObject* opened = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(opened, id, mode, openErased);
    if (es != Acad::eOk)
        return es;
    object = T::cast(opened);
    if (!object) {
        opened->close();
        return Acad::eNotThatKindOfClass;
    }
    return Acad::eOk;
}
