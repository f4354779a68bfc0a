// The host's access to the inside of database objects: the parts of the open protocol and
// of residency that only the database layer may change.
#pragma once

#include "arx/dbobject.h"

namespace cadhost::db {

struct ObjectAccess {
    static void makeResident(AcDbObject& object, AcDbDatabase* db, AcDbObjectId id) {
        object.m_database = db;
        object.m_id = id;
        object.m_writer = true;
        object.m_readers = 0;
        object.m_notifiers = 0;
        object.m_new = true;
        object.m_modified = true;
    }
    // Called by the database just before it deletes the object.
    static void release(AcDbObject& object) {
        object.m_id = AcDbObjectId();
        object.m_database = nullptr;
    }
    static void setOwner(AcDbObject& object, AcDbObjectId owner) { object.m_owner = owner; }
    static void setErased(AcDbObject& object, bool erased) { object.m_erased = erased; }

    static XDataStore*& xdata(AcDbObject& o) { return o.m_xdata; }
    static const XDataStore* xdata(const AcDbObject& o) { return o.m_xdata; }

    static std::uint16_t readers(const AcDbObject& o) { return o.m_readers; }
    static std::uint16_t notifiers(const AcDbObject& o) { return o.m_notifiers; }
    static bool writer(const AcDbObject& o) { return o.m_writer; }
    static void addReader(AcDbObject& o) { ++o.m_readers; }
    static void addNotifier(AcDbObject& o) { ++o.m_notifiers; }
    static void setWriter(AcDbObject& o) {
        o.m_writer = true;
        o.m_modified = false;
    }
};

} // namespace cadhost::db
