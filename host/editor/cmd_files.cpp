// OPEN, SAVEAS and QSAVE: drawings as DXF files.
#include "db/dxf/dxffile.h"
#include "db/dxf/filestate.h"
#include "editor/docops.h"
#include "editor/documents.h"
#include "editor/hostcommands.h"
#include "editor/moduleloader.h"
#include "editor/session.h"

#include "win/msgbox.h"
#include "win/paths.h"

#include "arx/dbdatabase.h"

#include <sys/stat.h>

#include <cctype>

namespace cadhost::editor {

namespace {

// A name with a drive letter or a backslash is a Windows path; anything else is taken as
// the unix path it is.
std::string HostPathOf(const std::string& typed) {
    bool windows = typed.find('\\') != std::string::npos ||
                   (typed.size() >= 2 && std::isalpha(static_cast<unsigned char>(typed[0])) &&
                    typed[1] == ':');
    return windows ? win::ToHostPath(typed) : typed;
}

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

// A name without an extension gets ".dxf", as the file dialog would give it.
std::string WithExtension(std::string path) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += ".dxf";
    return path;
}

bool SaveTo(Session& s, Document* doc, const std::string& typed) {
    std::string path = HostPathOf(typed);
    std::string error;
    if (path.empty()) {
        s.reportFailure("\nCannot save " + typed + ": the path cannot be mapped");
        return false;
    }
    if (db::dxf::WriteDxfFile(doc->database(), path, error) != Acad::eOk) {
        s.reportFailure("\nCannot save " + typed + ": " + error);
        return false;
    }
    if (db::dxf::FileState* state = db::dxf::FileStateOf(doc->database()))
        state->path = path;
    doc->setFileName(win::ToWindowsPath(path));
    doc->markSaved();
    return true;
}

// An existing file is replaced only when it holds a drawing and the user says yes; a folder
// or a file of another kind is refused.  False when the save is not to go ahead.
bool MayReplace(Session& s, const std::string& typed) {
    std::string path = HostPathOf(typed);
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return true; // nothing there; SaveTo reports a path that cannot be mapped
    if (S_ISDIR(info.st_mode)) {
        s.reportFailure("\nCannot save " + typed + ": it is a folder");
        return false;
    }
    if (!db::dxf::IsReplaceableDrawing(path)) {
        s.reportFailure("\nCannot save " + typed +
                        ": the file there is not a drawing, and only a drawing is replaced");
        return false;
    }
    return UserAllowsReplacing(typed);
}

bool SaveAs(Session& s, Document* doc) {
    InputItem item = s.ask("\nEnter file name: ");
    if (item.kind != InputItem::Text || item.text.empty())
        return false;
    std::string typed = WithExtension(Unquoted(item.text));
    return MayReplace(s, typed) && SaveTo(s, doc, typed);
}

void CmdSaveAs() {
    Session& s = *TheSession();
    Document* doc = Docs().current();
    if (!doc) {
        s.reportFailure("\nNo drawing is open.");
        return;
    }
    SaveAs(s, doc);
}

void CmdQSave() {
    Session& s = *TheSession();
    Document* doc = Docs().current();
    if (!doc) {
        s.reportFailure("\nNo drawing is open.");
        return;
    }
    SaveDocument(s, doc);
}

void CmdOpen() {
    Session& s = *TheSession();
    InputItem item = s.ask("\nEnter name of drawing to open: ");
    if (item.kind != InputItem::Text || item.text.empty())
        return;
    std::string typed = Unquoted(item.text);
    std::string error;
    if (!OpenDrawingDocument(typed, error))
        s.reportFailure("\nCannot open " + typed + ": " + error);
}

} // namespace

bool SaveDocument(Session& s, Document* doc) {
    const db::dxf::FileState* state = db::dxf::FileStateOf(doc->database());
    if (!state || state->path.empty())
        return SaveAs(s, doc);
    return SaveTo(s, doc, state->path);
}

bool UserAllowsReplacing(const std::string& name) {
    // No is the default: a script that gives no answer replaces nothing.
    std::string question = name + " already exists.\nDo you want to replace it?";
    return AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

Document* OpenDrawingDocument(const std::string& typedPath, std::string& error) {
    std::string path = HostPathOf(typedPath);
    if (path.empty()) {
        error = "the path cannot be mapped";
        return nullptr;
    }
    AcDbDatabase* db = nullptr;
    if (db::dxf::ReadDxfFile(path, db, error) != Acad::eOk)
        return nullptr;
    db::dxf::FileStateOf(db)->path = path;
    Document* doc = Docs().create(db, win::ToWindowsPath(path));
    if (Session* s = TheSession(); s && s->loader)
        s->loader->broadcast(AcRx::kLoadDwgMsg, doc);
    // What modules do to a drawing as it opens is no change of the user's.
    doc->markSaved();
    return doc;
}

void RegisterFileCommands(CommandStack& stack) {
    AddHostCommand(stack, "OPEN", CmdOpen);
    AddHostCommand(stack, "SAVEAS", CmdSaveAs);
    AddHostCommand(stack, "QSAVE", CmdQSave);
}

} // namespace cadhost::editor
