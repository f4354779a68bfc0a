// Documents: the open drawings of the host, the current one, their locks and their command
// lines.
#pragma once

#include "arx/errorstatus.h"
#include "arx/rxobject.h"

class AcDbDatabase;

namespace AcAp {

// Lock modes are bit sets; lockMode() answers the union of the locks a document holds.
enum DocLockMode {
    kNone = 0x00,
    kAutoWrite = 0x01, // the lock a modal command holds on its document while it runs
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};

} // namespace AcAp

class AcApDocument : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocument);

    // The drawing's file name as a Windows path ("Drawing1.dwg" style for a new drawing).
    virtual const char* fileName() const = 0;
    // The title shown to the user (the file name without folder).
    virtual const char* docTitle() const = 0;
    virtual AcDbDatabase* database() const = 0;
    // The union of all locks held on the document, or kNotLocked.
    virtual AcAp::DocLockMode lockMode(bool includeMyLocks = false) const = 0;
    virtual AcAp::DocLockMode myLockMode() const = 0;
    // True when no command is running in the document.
    virtual bool isQuiescent() const = 0;
};

class AcApDocumentIterator {
public:
    virtual ~AcApDocumentIterator();
    virtual bool done() const = 0;
    virtual void step() = 0;
    virtual AcApDocument* document() const = 0;
};

// Notices of the document manager.  Every notice does nothing unless overridden.
class AcApDocManagerReactor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocManagerReactor);

    virtual void documentCreateStarted(AcApDocument* doc);
    virtual void documentCreated(AcApDocument* doc);
    // The document is about to be closed: after this notice its address may be reused.
    virtual void documentToBeDestroyed(AcApDocument* doc);
    virtual void documentDestroyed(const char* fileName);
    virtual void documentLockModeChanged(AcApDocument* doc, AcAp::DocLockMode myPreviousMode,
                                         AcAp::DocLockMode myCurrentMode,
                                         AcAp::DocLockMode currentMode, const char* globalCmdName);
    virtual void documentBecameCurrent(AcApDocument* doc);
    virtual void documentToBeActivated(AcApDocument* doc);
    virtual void documentActivated(AcApDocument* doc);
};

class AcApDocManager : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocManager);

    // The document whose database commands work on.
    virtual AcApDocument* curDocument() const = 0;
    // The document whose window has the focus (the one commands are typed into).
    virtual AcApDocument* mdiActiveDocument() const = 0;
    // The document that owns the database, or nullptr for a database of no document.
    virtual AcApDocument* document(const AcDbDatabase* db) const = 0;
    virtual int documentCount() const = 0;
    // The caller deletes the iterator.
    virtual AcApDocumentIterator* newAcApDocumentIterator() = 0;

    virtual Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kWrite,
                                           const char* globalCmdName = nullptr,
                                           const char* localCmdName = nullptr,
                                           bool prompt = true) = 0;
    // Releases the most recent lock taken with lockDocument on the document.
    virtual Acad::ErrorStatus unlockDocument(AcApDocument* doc) = 0;

    // Makes the document current (and its database the working database), optionally
    // locking it and optionally activating its window.
    virtual Acad::ErrorStatus setCurDocument(AcApDocument* doc,
                                             AcAp::DocLockMode mode = AcAp::kNone,
                                             bool activate = false) = 0;
    virtual Acad::ErrorStatus activateDocument(AcApDocument* doc, bool passScript = false) = 0;

    // Queues text for the document's command line.  It runs later, when the host next reads
    // command input for the document, in order, as if typed: a blank or a line end acts as
    // Enter, the character with code 3 cancels.
    virtual Acad::ErrorStatus sendStringToExecute(AcApDocument* doc, const char* text,
                                                  bool activate = true,
                                                  bool wrapUpInactiveDoc = false,
                                                  bool echoString = true) = 0;

    virtual void addReactor(AcApDocManagerReactor* reactor) = 0;
    virtual void removeReactor(AcApDocManagerReactor* reactor) = 0;
};

// The host's document manager; nullptr once the host has shut it down.
AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
