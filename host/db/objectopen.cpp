// The open protocol: acdbOpenObject.
#include "arx/dbobject.h"
#include "db/databaseimpl.h"
#include "db/objectaccess.h"
#include "db/writegate.h"

using namespace cadhost::db;

namespace {

constexpr std::uint16_t kMaxReaders = 256;
// Notify opens nest without conflict; the count only has to stay inside its type.
constexpr std::uint16_t kMaxNotifiers = 0xffff;

} // namespace

Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased) {
    object = nullptr;
    AcDbDatabase* db;
    Stub* stub;
    switch (Resolve(id, db, stub)) {
    case IdState::Null:
        return Acad::eNullObjectId;
    case IdState::NoSuchSlot:
        return Acad::eInvalidInput;
    case IdState::DatabaseGone:
        return Acad::ePermanentlyErased;
    case IdState::Live:
        break;
    }
    AcDbObject* target = stub->object;
    if (!target)
        return Acad::ePermanentlyErased;
    if (target->isErased() && !openErased)
        return Acad::eWasErased;

    switch (mode) {
    case AcDb::kForRead:
        if (ObjectAccess::writer(*target))
            return Acad::eWasOpenForWrite;
        if (ObjectAccess::readers(*target) >= kMaxReaders)
            return Acad::eAtMaxReaders;
        ObjectAccess::addReader(*target);
        break;
    case AcDb::kForWrite:
        if (!WriteAllowed(db))
            return Acad::eLockViolation;
        if (ObjectAccess::writer(*target))
            return Acad::eWasOpenForWrite;
        if (ObjectAccess::readers(*target))
            return Acad::eWasOpenForRead;
        if (ObjectAccess::notifiers(*target))
            return Acad::eWasOpenForNotify;
        BeforeObjectChange(db, *target, ShowsElsewhereWhenWritten(*target));
        ObjectAccess::setWriter(*target);
        break;
    case AcDb::kForNotify:
        if (ObjectAccess::notifiers(*target) >= kMaxNotifiers)
            return Acad::eAtMaxReaders;
        ObjectAccess::addNotifier(*target);
        break;
    default:
        return Acad::eInvalidOpenState;
    }
    object = target;
    return Acad::eOk;
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    return acdbOpenObject(object, id, mode, openErased);
}
