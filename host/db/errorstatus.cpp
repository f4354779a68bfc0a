// Texts of the host's status values, for messages and traces.
#include "arx/errorstatus.h"

#include <map>
#include <string>

namespace {

const char* KnownStatusText(Acad::ErrorStatus status) {
    switch (status) {
    case Acad::eOk:
        return "eOk";
    case Acad::eNotImplementedYet:
        return "eNotImplementedYet";
    case Acad::eNotApplicable:
        return "eNotApplicable";
    case Acad::eInvalidInput:
        return "eInvalidInput";
    case Acad::eAmbiguousInput:
        return "eAmbiguousInput";
    case Acad::eAmbiguousOutput:
        return "eAmbiguousOutput";
    case Acad::eOutOfMemory:
        return "eOutOfMemory";
    case Acad::eBufferTooSmall:
        return "eBufferTooSmall";
    case Acad::eInvalidOpenState:
        return "eInvalidOpenState";
    case Acad::eEntityInInactiveLayout:
        return "eEntityInInactiveLayout";
    case Acad::eHandleExists:
        return "eHandleExists";
    case Acad::eNullHandle:
        return "eNullHandle";
    case Acad::eBrokenHandle:
        return "eBrokenHandle";
    case Acad::eUnknownHandle:
        return "eUnknownHandle";
    case Acad::eHandleInUse:
        return "eHandleInUse";
    case Acad::eNullObjectPointer:
        return "eNullObjectPointer";
    case Acad::eNullObjectId:
        return "eNullObjectId";
    case Acad::eNullBlockName:
        return "eNullBlockName";
    case Acad::eContainerNotEmpty:
        return "eContainerNotEmpty";
    case Acad::eNullEntityPointer:
        return "eNullEntityPointer";
    case Acad::eIllegalEntityType:
        return "eIllegalEntityType";
    case Acad::eKeyNotFound:
        return "eKeyNotFound";
    case Acad::eDuplicateKey:
        return "eDuplicateKey";
    case Acad::eInvalidIndex:
        return "eInvalidIndex";
    case Acad::eDuplicateIndex:
        return "eDuplicateIndex";
    case Acad::eAlreadyInDb:
        return "eAlreadyInDb";
    case Acad::eOutOfDisk:
        return "eOutOfDisk";
    case Acad::eDeletedEntry:
        return "eDeletedEntry";
    case Acad::eNegativeValueNotAllowed:
        return "eNegativeValueNotAllowed";
    case Acad::eInvalidExtents:
        return "eInvalidExtents";
    case Acad::eInvalidAdsName:
        return "eInvalidAdsName";
    case Acad::eInvalidSymbolTableName:
        return "eInvalidSymbolTableName";
    case Acad::eInvalidKey:
        return "eInvalidKey";
    case Acad::eWrongObjectType:
        return "eWrongObjectType";
    case Acad::eWrongDatabase:
        return "eWrongDatabase";
    case Acad::eObjectToBeDeleted:
        return "eObjectToBeDeleted";
    case Acad::eInvalidDwgVersion:
        return "eInvalidDwgVersion";
    case Acad::eAnonymousEntry:
        return "eAnonymousEntry";
    case Acad::eIllegalReplacement:
        return "eIllegalReplacement";
    case Acad::eEndOfObject:
        return "eEndOfObject";
    case Acad::eEndOfFile:
        return "eEndOfFile";
    case Acad::eIsReading:
        return "eIsReading";
    case Acad::eIsWriting:
        return "eIsWriting";
    case Acad::eNotOpenForRead:
        return "eNotOpenForRead";
    case Acad::eNotOpenForWrite:
        return "eNotOpenForWrite";
    case Acad::eNotThatKindOfClass:
        return "eNotThatKindOfClass";
    case Acad::eInvalidBlockName:
        return "eInvalidBlockName";
    case Acad::eMissingDxfField:
        return "eMissingDxfField";
    case Acad::eDuplicateDxfField:
        return "eDuplicateDxfField";
    case Acad::eInvalidDxfCode:
        return "eInvalidDxfCode";
    case Acad::eInvalidResBuf:
        return "eInvalidResBuf";
    case Acad::eBadDxfSequence:
        return "eBadDxfSequence";
    case Acad::eFilerError:
        return "eFilerError";
    case Acad::eWasErased:
        return "eWasErased";
    case Acad::ePermanentlyErased:
        return "ePermanentlyErased";
    case Acad::eWasOpenForRead:
        return "eWasOpenForRead";
    case Acad::eWasOpenForWrite:
        return "eWasOpenForWrite";
    case Acad::eWasOpenForNotify:
        return "eWasOpenForNotify";
    case Acad::eWasNotOpenForWrite:
        return "eWasNotOpenForWrite";
    case Acad::eHadMultipleReaders:
        return "eHadMultipleReaders";
    case Acad::eAtMaxReaders:
        return "eAtMaxReaders";
    case Acad::eWasNotErased:
        return "eWasNotErased";
    case Acad::eNotInDatabase:
        return "eNotInDatabase";
    case Acad::eNoDatabase:
        return "eNoDatabase";
    case Acad::eNotOwnerOfObject:
        return "eNotOwnerOfObject";
    case Acad::eRegappIdNotFound:
        return "eRegappIdNotFound";
    case Acad::eXdataSizeExceeded:
        return "eXdataSizeExceeded";
    case Acad::eDuplicateRecordName:
        return "eDuplicateRecordName";
    case Acad::eDuplicateClassName:
        return "eDuplicateClassName";
    case Acad::eNotAnEntity:
        return "eNotAnEntity";
    case Acad::eLockViolation:
        return "eLockViolation";
    case Acad::eLockConflict:
        return "eLockConflict";
    case Acad::eNoDocument:
        return "eNoDocument";
    case Acad::eNotCurrentDocument:
        return "eNotCurrentDocument";
    case Acad::eDocumentSwitchDisabled:
        return "eDocumentSwitchDisabled";
    case Acad::eFileNotFound:
        return "eFileNotFound";
    case Acad::eFileAccessErr:
        return "eFileAccessErr";
    case Acad::eFileSharingViolation:
        return "eFileSharingViolation";
    case Acad::eDwgNotRecoverable:
        return "eDwgNotRecoverable";
    case Acad::eBadDwgHeader:
        return "eBadDwgHeader";
    case Acad::eCommandWasInProgress:
        return "eCommandWasInProgress";
    case Acad::eInvalidContext:
        return "eInvalidContext";
    case Acad::eUserBreak:
        return "eUserBreak";
    case Acad::eCannotScaleNonUniformly:
        return "eCannotScaleNonUniformly";
    case Acad::eCannotBeErasedByCaller:
        return "eCannotBeErasedByCaller";
    }
    return nullptr;
}

} // namespace

const char* acadErrorStatusText(Acad::ErrorStatus status) {
    if (const char* text = KnownStatusText(status))
        return text;
    // Unknown values get a text made once and kept, so that the pointer stays valid as the
    // header promises.  The host runs on one thread, so the cache needs no lock.
    static std::map<int, std::string> unknown;
    auto [it, inserted] = unknown.try_emplace(static_cast<int>(status));
    if (inserted)
        it->second = "Unknown error status " + std::to_string(static_cast<int>(status));
    return it->second.c_str();
}
