// Object ids: resolution through the registry of loaded databases.
#include "arx/dbid.h"
#include "db/databaseimpl.h"
#include "db/databaseregistry.h"

namespace cadhost::db {

IdState Resolve(AcDbObjectId id, AcDbDatabase*& db, Stub*& stub) {
    db = nullptr;
    stub = nullptr;
    if (id.isNull())
        return IdState::Null;
    std::uint32_t serial = IdAccess::serial(id);
    if (!IsKnownSerial(serial))
        return IdState::NoSuchSlot;
    AcDbDatabase* owner = DatabaseOfSerial(serial);
    if (!owner)
        return IdState::DatabaseGone;
    AcDbDatabase::Impl& impl = *owner->impl();
    std::uint32_t slot = IdAccess::slot(id);
    if ((IdAccess::key(id) & 0xffffffffu) == 0 || slot >= impl.stubs.size())
        return IdState::NoSuchSlot;
    db = owner;
    stub = &impl.stubs[slot];
    return IdState::Live;
}

Stub* StubOf(AcDbObjectId id) {
    AcDbDatabase* db;
    Stub* stub;
    return Resolve(id, db, stub) == IdState::Live ? stub : nullptr;
}

AcDbObject* ObjectOf(AcDbObjectId id) {
    Stub* stub = StubOf(id);
    return stub ? stub->object : nullptr;
}

} // namespace cadhost::db

using namespace cadhost::db;

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const {
    const Stub* stub = StubOf(*this);
    return stub && !stub->retired;
}

bool AcDbObjectId::isErased() const {
    AcDbDatabase* db;
    Stub* stub;
    switch (Resolve(*this, db, stub)) {
    case IdState::Live:
        return stub->retired || (stub->object && stub->object->isErased());
    case IdState::DatabaseGone:
        return true;
    default:
        return false;
    }
}

AcDbHandle AcDbObjectId::handle() const {
    Stub* stub = StubOf(*this);
    return stub ? stub->handle : AcDbHandle();
}

AcDbDatabase* AcDbObjectId::database() const {
    AcDbDatabase* db;
    Stub* stub;
    Resolve(*this, db, stub);
    return db;
}

AcRxClass* AcDbObjectId::objectClass() const {
    AcDbObject* object = ObjectOf(*this);
    return object ? object->isA() : nullptr;
}
