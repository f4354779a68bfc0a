// The report of a failed host status, and the guard that locks a drawing's document for the
// storage code.
#pragma once

#include "arx/errorstatus.h"

class AcApDocument;
class AcDbDatabase;

// Shows "<source> : Line #<line> - <status text>" when the status is a failure.  Returns the
// status, so a call can wrap the host call it checks.
Acad::ErrorStatus CheckStatus(const char* sourceName, int line, Acad::ErrorStatus status);

// Makes the document of a database current and holds the write lock on it for the guard's
// life; the document that was current before is made current again afterwards.  Guards nest:
// an inner guard finds the lock held and takes none.  A database of no document (read from a
// file, not open in the editor) is left alone.
class CDocLock {
public:
    // The working database when none is given.
    explicit CDocLock(AcDbDatabase* database = nullptr);
    ~CDocLock();

    CDocLock(const CDocLock&) = delete;
    CDocLock& operator=(const CDocLock&) = delete;

private:
    AcDbDatabase* m_Database;
    AcApDocument* m_Document;
    AcApDocument* m_PreviousCurrent;
    bool m_Locked;
};
