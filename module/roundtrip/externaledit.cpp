#include "roundtrip/externaledit.h"

#include "frame/docdata.h"
#include "frame/rivletapp.h"
#include "frame/sysvar.h"
#include "frame/tmpfile.h"
#include "specsheet/preferences.h"
#include "storage/specrecord.h"

#include "arx/adsdefs.h"
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbid.h"
#include "arx/dbmtext.h"
#include "arx/docman.h"
#include "arx/editor.h"

#include "win/cmdline.h"
#include "win/fileapi.h"
#include "win/filedialog.h"
#include "win/msgbox.h"
#include "win/process.h"

#include <string>

namespace {

const char* const kAppName = "KSRRivlet";

// The first object of the current selection, when it is an MText: its handle as the host
// prints handles.  False for no selection, an object that cannot be opened, or another kind.
bool PickedMTextHandle(std::string& handle) {
    AcDbObjectIdArray selection;
    if (acedGetCurrentSelectionSet(selection) != Acad::eOk || selection.isEmpty())
        return false;
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, selection[0], AcDb::kForRead) != Acad::eOk)
        return false;
    char text[AcDbHandle::kStrSiz];
    object->objectId().handle().getIntoAsciiBuffer(text, sizeof text);
    handle = text;
    bool isMText = AcDbMText::cast(object) != nullptr;
    object->close();
    return isMText;
}

struct FileStatus {
    bool exists = false;
    DWORD size = 0;
    FILETIME written{};
};

FileStatus StatusOf(const std::string& path) {
    FileStatus status;
    status.exists = win::GetFileStatus(path, &status.size, &status.written);
    return status;
}

// The value item after the integer item of a tag, at nesting level 0; nullptr when the tag
// is not there.
const resbuf* TaggedValue(const resbuf* xdata, int tag) {
    int depth = 0;
    for (const resbuf* rb = xdata; rb; rb = rb->rbnext) {
        if (rb->restype == AcDb::kDxfXdControlString && rb->resval.rstring) {
            depth += rb->resval.rstring[0] == '{' ? 1 : rb->resval.rstring[0] == '}' ? -1 : 0;
            continue;
        }
        if (depth == 0 && rb->restype == AcDb::kDxfXdInteger16 && rb->resval.rint == tag)
            return rb->rbnext;
    }
    return nullptr;
}

// Runs the editor on the file and waits for it to end; false when it did not start.
bool RunEditor(const std::string& program, const std::string& file) {
    // Both paths are quoted, so that folders with blanks reach the editor as one argument each.
    return win::RunAndWait(win::JoinCommandLine({program}) + " " + win::QuoteArgument(file))
        .has_value();
}

void QueueRebuild() {
    AcApDocument* doc = acDocManager ? acDocManager->curDocument() : nullptr;
    if (!doc)
        return;
    // The cancel characters end whatever the host's own edit of the text leaves pending.
    const char cancel[] = {'\x03', '\0'};
    acDocManager->sendStringToExecute(doc, cancel, false, true, true);
    acDocManager->sendStringToExecute(doc, "reformFromDict ", false, true, true);
    acDocManager->sendStringToExecute(doc, cancel, false, true, true);
}

} // namespace

void ReadBox(AcDbMText* text, CDocData& data) {
    resbuf* xdata = text->xData(kAppName);
    AcGePoint3d* corners[] = {&data.m_UpperLeft, &data.m_LowerRight};
    for (int tag = 1; tag <= 2; ++tag) {
        const resbuf* value = TaggedValue(xdata, tag);
        if (!value) {
            acutPrintf("\nWARNING: Xdata tag missing: %d", tag);
            continue;
        }
        if (value->restype != AcDb::kDxfXdXCoord) {
            acutPrintf("\nERROR: malfomed Xdata tag: %d", tag);
            continue;
        }
        *corners[tag - 1] =
            AcGePoint3d(value->resval.rpoint[0], value->resval.rpoint[1], value->resval.rpoint[2]);
    }
    acutRelRb(xdata);
}

bool LocateWordPad(CMtextVars& preferences) {
    CFileDialog dialog(TRUE, "exe", "WordPad.exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "*.exe | *.exe", acedGetAcadFrame(), OPENFILENAME_SIZE_VERSION_400);
    if (dialog.DoModal() != IDOK)
        return false;
    preferences.m_WordPad = dialog.GetPathName();
    return true;
}

void LaunchExternalEdit() {
    std::string handle;
    if (!PickedMTextHandle(handle))
        return;
    CSpecRecord record;
    if (!record.FindByHandle(handle))
        return; // not one of this module's texts: the host's own edit goes on as usual

    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    AcDbObjectId id;
    AcDbMText* text = nullptr;
    if (database && database->getAcDbObjectId(id, false, AcDbHandle(handle.c_str())) == Acad::eOk &&
        acdbOpenObject(text, id, AcDb::kForRead) == Acad::eOk) {
        ReadBox(text, docData());
        text->close();
    }

    CMtextVars preferences;
    CTmpFileName file(".rtf");
    saveToFile(file.Path().c_str(), record.m_Rtf);
    FileStatus before = StatusOf(file.Path());

    // A program picked here is kept only once it has run: a pick that is no program would
    // otherwise fail every later double-click without asking again.
    const std::string stored = preferences.m_WordPad;
    bool located = false;
    if (!StatusOf(preferences.m_WordPad).exists) {
        AfxMessageBox(
            "I was unable to locate your version of WordPad.exe\nPlease locate it for me.", MB_OK);
        if (!LocateWordPad(preferences) || !StatusOf(preferences.m_WordPad).exists) {
            preferences.m_WordPad = stored;
            return;
        }
        located = true;
    }

    if (RunEditor(preferences.m_WordPad, file.Path())) {
        if (located)
            preferences.Save();
    } else {
        acutPrintf("\nCreateProcess failed to execute wordpad.exe.");
        if (located)
            preferences.m_WordPad = stored;
    }

    FileStatus after = StatusOf(file.Path());
    if (after.written.dwLowDateTime == before.written.dwLowDateTime &&
        after.written.dwHighDateTime == before.written.dwHighDateTime)
        return; // not saved: nothing is queued or stored

    SetStringSysVar("MTEXTED", (g_InstallFolder + "Scrivel.exe").c_str());
    QueueRebuild();
    if (!ReadWholeFile(file.Path().c_str(), record.m_Rtf)) {
        FileStatus saved = StatusOf(file.Path());
        if (saved.exists && saved.size == 0)
            record.m_Rtf.clear();
    }
    record.Save();
}
