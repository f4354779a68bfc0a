#include "frame/doclock.h"

#include "arx/dbapserv.h"
#include "arx/docman.h"
#include "arx/editor.h"
#include "win/msgbox.h"

#include <string>

namespace {

const char* FileNameOf(const AcApDocument* doc) {
    const char* name = doc ? doc->fileName() : nullptr;
    return name ? name : "";
}

// Storage code may work on a drawing that is not the one the user is in; the host then needs
// it current, and the user is told, since the switch is unusual.
void MakeCurrent(AcApDocument* doc) {
    AcApDocManager* manager = acDocManager;
    if (!manager || !doc)
        return;
    AcApDocument* current = manager->curDocument();
    if (doc == current)
        return;
    acutPrintf("\n ** Warning: Locking %s - not Current %s", FileNameOf(doc), FileNameOf(current));
    manager->setCurDocument(doc, AcAp::kNone, false);
}

} // namespace

Acad::ErrorStatus CheckStatus(const char* sourceName, int line, Acad::ErrorStatus status) {
    if (status == Acad::eOk)
        return status;
    std::string message = sourceName ? sourceName : "";
    message += " : Line #" + std::to_string(line) + " - ";
    const char* statusText = acadErrorStatusText(status);
    message += statusText ? statusText : "";
    AfxMessageBox(message.c_str(), MB_OK);
    return status;
}

CDocLock::CDocLock(AcDbDatabase* database)
    : m_Database(database), m_Document(nullptr), m_PreviousCurrent(nullptr), m_Locked(false) {
    if (!m_Database) {
        if (AcDbHostApplicationServices* services = acdbHostApplicationServices())
            m_Database = services->workingDatabase();
    }
    AcApDocManager* manager = acDocManager;
    if (!manager || !m_Database)
        return;
    m_Document = manager->document(m_Database);
    if (!m_Document)
        return;

    m_PreviousCurrent = manager->curDocument();
    MakeCurrent(m_Document);
    if ((m_Document->lockMode() & AcAp::kWrite) != 0)
        return;
    if (manager->lockDocument(m_Document, AcAp::kWrite, nullptr, nullptr, true) == Acad::eOk)
        m_Locked = true;
    else
        AfxMessageBox("Failed to lock Document", MB_OK);
}

CDocLock::~CDocLock() {
    if (!m_Document)
        return;
    AcApDocManager* manager = acDocManager;
    if (!manager)
        return;
    if (m_Locked)
        manager->unlockDocument(m_Document);
    MakeCurrent(m_PreviousCurrent);
}
