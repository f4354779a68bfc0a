#include "editor/mtextedit.h"

#include "arx/dbmtext.h"
#include "editor/documents.h"
#include "editor/session.h"
#include "editor/wholefile.h"
#include "text/textbytes.h"

#include "win/cmdline.h"
#include "win/fileapi.h"
#include "win/paths.h"
#include "win/process.h"

#include <strings.h>

#include <cstdlib>
#include <fstream>

namespace cadhost::editor {

namespace {

bool IsInternalEditor(const std::string& program) {
    return program.empty() || program == "." || strcasecmp(program.c_str(), "Internal") == 0;
}

std::string ReadContents(const AcDbObjectId& id) {
    AcDbMText* mtext = nullptr;
    if (acdbOpenObject(mtext, id, AcDb::kForRead) != Acad::eOk)
        return {};
    char* contents = mtext->contents();
    std::string text = contents ? contents : "";
    acutDelString(contents);
    mtext->close();
    return text;
}

// Changes the text under a write lock of its own: a double-click runs outside any command.
void WriteContents(Document& doc, const AcDbObjectId& id, const std::string& text) {
    bool locked = Docs().lockDocument(&doc, AcAp::kWrite, "MTEDIT", nullptr, false) == Acad::eOk;
    AcDbMText* mtext = nullptr;
    if (acdbOpenObject(mtext, id, AcDb::kForWrite) == Acad::eOk) {
        mtext->setContents(text.c_str());
        mtext->close();
    }
    if (locked)
        Docs().unlockDocument(&doc);
}

bool WriteFileBytes(const std::string& hostPath, const std::string& bytes) {
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << bytes;
    return bool(out);
}

// Runs the external editor on the file and waits for it to end.
bool RunEditor(const std::string& program, const std::string& windowsFile) {
    return win::RunAndWait(win::QuoteArgument(program) + " " + win::QuoteArgument(windowsFile))
        .has_value();
}

} // namespace

void EditMTextInteractively(Session& s, Document& doc, const AcDbObjectId& id) {
    std::string before = ReadContents(id);
    std::string program;
    if (auto v = s.sysvars.get("MTEXTED"))
        program = std::get<std::string>(*v);
    if (IsInternalEditor(program)) {
        InputItem item = s.ask("\nEnter new MText contents <keep>: ");
        if (item.kind == InputItem::Text && !item.text.empty() && item.text != before)
            WriteContents(doc, id, item.text);
        return;
    }
    char folder[MAX_PATH + 1];
    if (!GetTempPathA(sizeof folder, folder)) {
        s.cmdline.print("\nNo temporary folder for the MText editor.");
        return;
    }
    char* name = _tempnam(folder, "mtx");
    if (!name)
        return;
    std::string windowsFile = std::string(name) + ".txt";
    std::free(name);
    std::string hostFile = win::ToHostPath(windowsFile);
    if (!WriteFileBytes(hostFile, before)) {
        s.cmdline.print("\nCannot write " + windowsFile + " for the MText editor.");
        return;
    }
    if (!RunEditor(program, windowsFile)) {
        s.cmdline.print("\nThe MText editor \"" + program + "\" could not be started.");
    } else {
        // The editor may save the text in another encoding than it was given (UTF-16, say):
        // the contents are the text the file holds.
        std::string after;
        if (ReadWholeFile(hostFile, after) && after != before) {
            std::string text = text::TextToUtf8(after);
            if (text != before)
                WriteContents(doc, id, text);
        }
    }
    DeleteFileA(windowsFile.c_str());
}

} // namespace cadhost::editor
