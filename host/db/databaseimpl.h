// The inside of a database: the slots its object ids point at, the handle map and the
// root objects.  Ids stay safe after their database is destroyed because they hold the
// database's serial number and a slot number, not pointers: a destroyed database's serial
// resolves to nothing.
#pragma once

#include "arx/dbdatabase.h"
#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "arx/ge.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>

namespace cadhost::db {

// What an object id points at.  The object is null for a handle reserved before its object
// exists.
struct Stub {
    AcDbObject* object = nullptr;
    AcDbHandle handle;
    // The object was taken out by undoing the command that made it; the handle stays spent.
    bool retired = false;
};

class UndoLog;

struct IdAccess {
    static std::uint64_t key(AcDbObjectId id) { return id.m_key; }
    static AcDbObjectId make(std::uint32_t serial, std::uint32_t slot) {
        AcDbObjectId id;
        id.m_key = (std::uint64_t{serial} << 32) | (std::uint64_t{slot} + 1);
        return id;
    }
    static std::uint32_t serial(AcDbObjectId id) {
        return static_cast<std::uint32_t>(id.m_key >> 32);
    }
    // The slot number; only meaningful for a non-null id.
    static std::uint32_t slot(AcDbObjectId id) {
        return static_cast<std::uint32_t>(id.m_key & 0xffffffffu) - 1;
    }
};

enum class IdState {
    Null,         // the null id
    NoSuchSlot,   // never handed out by a database that is still loaded, or forged
    DatabaseGone, // its database has been destroyed
    Live,         // the stub exists (its object may be missing for a reserved handle)
};

// The database and stub of an id.
IdState Resolve(AcDbObjectId id, AcDbDatabase*& db, Stub*& stub);
// The stub of a live id, or nullptr.
Stub* StubOf(AcDbObjectId id);
// The object of a live id, or nullptr: the host's own access, without the open protocol.
AcDbObject* ObjectOf(AcDbObjectId id);
template <class T> T* ObjectOf(AcDbObjectId id) {
    return T::cast(ObjectOf(id));
}

} // namespace cadhost::db

struct AcDbDatabase::Impl {
    AcDbDatabase* self = nullptr;
    std::uint32_t serial = 0;
    bool noDocument = false;
    bool destroying = false;

    // Slot i holds the stub of ids with slot number i.  A deque keeps stubs in place as it
    // grows.
    std::deque<cadhost::db::Stub> stubs;
    std::unordered_map<std::uint64_t, std::uint32_t> slotByHandle;
    std::uint64_t handseed = 1;
    std::int32_t objectCount = 0;
    // Write opens closed so far (db/changecount.h).
    std::uint64_t changeCount = 0;

    AcDbObjectId namedObjects;
    AcDbObjectId blockTable;
    AcDbObjectId layerTable;
    AcDbObjectId textStyleTable;
    AcDbObjectId regAppTable;
    AcDbObjectId modelSpace;
    AcDbObjectId paperSpace;
    AcDbObjectId currentSpace;
    AcDbObjectId layerZero;
    AcDbObjectId textStyle;

    AcGePoint3d ucsOrigin;
    AcGeVector3d ucsX = AcGeVector3d::kXAxis;
    AcGeVector3d ucsY = AcGeVector3d::kYAxis;

    // Made when the editor first records a command on this drawing (undolog.h).
    cadhost::db::UndoLog* undo = nullptr;
    // How many changes the drawing has had (db/edits.h).
    std::uint64_t edits = 0;

    // What the drawing keeps of the file it was read from or saved to (db/dxf/filestate.h).
    std::shared_ptr<void> fileState;
    // Called just before an object may change (BeforeObjectChange); null when nothing
    // waits for that.
    void (*beforeChange)(AcDbDatabase& db, AcDbObject& object, bool showsElsewhere) = nullptr;

    // A new stub for the handle; the caller has checked that the handle is free.
    AcDbObjectId newStub(AcDbHandle handle);
    // Makes the object resident under the stub of id: identity, database, open for write.
    void attach(AcDbObjectId id, AcDbObject* object);
    // Adds an object with the next handle and the given owner.
    Acad::ErrorStatus add(AcDbObject* object, AcDbObjectId owner, AcDbObjectId& id);
    // Whether the database itself relies on the object (roots, the two spaces, layer "0",
    // the current text style), so that it may not be erased or renamed.
    bool isProtected(AcDbObjectId id) const;
};

namespace cadhost::db {

// Tells the database's beforeChange hook that the object may change now: it is being opened
// for write, erased, or changed while closed.  showsElsewhere: the change may show in what
// other objects file out (a renamed record, an erased entry).
inline void BeforeObjectChange(AcDbDatabase* db, AcDbObject& object, bool showsElsewhere) {
    if (db && db->impl()->beforeChange)
        db->impl()->beforeChange(*db, object, showsElsewhere);
}

// What a write opening changes shows elsewhere unless the object is an entity: other objects
// name records and list dictionaries' entries, but none files out what an entity holds.
bool ShowsElsewhereWhenWritten(const AcDbObject& object);

} // namespace cadhost::db
