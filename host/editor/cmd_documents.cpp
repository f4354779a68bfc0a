// NEW, CLOSE, SWITCH and QUIT: the open drawings.
#include "editor/docops.h"
#include "editor/documents.h"
#include "editor/hostcommands.h"
#include "editor/moduleloader.h"
#include "editor/session.h"

#include "arx/rxobject.h"

#include "win/msgbox.h"

#include <strings.h>

#include <cstdlib>
#include <vector>

namespace cadhost::editor {

Document* OpenNewDocument(Session& session) {
    Document* doc = Docs().create();
    if (session.loader)
        session.loader->broadcast(AcRx::kLoadDwgMsg, doc);
    // What modules do to a drawing as it opens is no change of the user's.
    doc->markSaved();
    return doc;
}

void CloseDocument(Session& session, Document* doc) {
    if (session.loader)
        session.loader->broadcast(AcRx::kUnloadDwgMsg, doc);
    Docs().close(doc);
}

namespace {

void CmdNew() {
    Session& s = *TheSession();
    Document* doc = OpenNewDocument(s);
    s.cmdline.print(std::string("\nNew drawing ") + doc->fileName() + ".");
}

void CmdClose() {
    Session& s = *TheSession();
    Document* doc = Docs().current();
    if (!doc) {
        s.reportFailure("\nNo drawing is open.");
        return;
    }
    std::string name = doc->fileName();
    CloseDocument(s, doc);
    s.cmdline.print("\nClosed " + name + ".");
}

void ListDocuments(Session& s) {
    int n = 1;
    for (Document* d : Docs().documents()) {
        s.cmdline.print("\n  " + std::to_string(n++) + ". " + d->fileName() +
                        (d == Docs().current() ? "  (current)" : ""));
    }
}

void CmdSwitch() {
    Session& s = *TheSession();
    if (Docs().documents().empty()) {
        s.reportFailure("\nNo drawing is open.");
        return;
    }
    ListDocuments(s);
    InputItem item = s.ask("\nSwitch to drawing (number or name): ");
    if (item.kind != InputItem::Text || item.text.empty())
        return;
    const auto& docs = Docs().documents();
    Document* target = nullptr;
    char* end = nullptr;
    long number = std::strtol(item.text.c_str(), &end, 10);
    if (end && *end == '\0' && number >= 1 && number <= static_cast<long>(docs.size()))
        target = docs[static_cast<std::size_t>(number - 1)];
    for (Document* d : docs)
        if (!target && (strcasecmp(d->fileName(), item.text.c_str()) == 0 ||
                        strcasecmp(d->docTitle(), item.text.c_str()) == 0))
            target = d;
    if (!target) {
        s.reportFailure("\nNo open drawing \"" + item.text + "\".");
        return;
    }
    Docs().activateDocument(target, false);
    s.cmdline.print(std::string("\nCurrent drawing: ") + target->fileName() + ".");
}

// Asks about each drawing with unsaved changes, the current one first: Yes saves it, No
// leaves the changes, Cancel (the default) ends QUIT and the session goes on; so does a save
// that fails or is cancelled.
void CmdQuit() {
    Session& s = *TheSession();
    std::vector<Document*> changed;
    for (Document* d : Docs().documents())
        if (d->hasUnsavedChanges())
            changed.insert(d == Docs().current() ? changed.begin() : changed.end(), d);
    for (Document* doc : changed) {
        if (!Docs().find(doc))
            continue;
        Docs().activateDocument(doc, false);
        std::string question = std::string("Save changes to ") + doc->fileName() + "?";
        int answer =
            AfxMessageBox(question.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3);
        if (answer == IDNO)
            continue;
        if (answer != IDYES)
            return;
        // The command locked the drawing it started on; this one may be another.
        bool locked = Docs().lockDocument(doc, AcAp::kWrite, "QUIT", nullptr, false) == Acad::eOk;
        bool saved = SaveDocument(s, doc);
        if (locked)
            Docs().unlockDocument(doc);
        if (!saved)
            return;
    }
    s.quit = true;
}

} // namespace

void RegisterDocumentCommands(CommandStack& stack) {
    AddHostCommand(stack, "NEW", CmdNew);
    AddHostCommand(stack, "CLOSE", CmdClose);
    AddHostCommand(stack, "SWITCH", CmdSwitch);
    AddHostCommand(stack, "QUIT", CmdQuit);
    AddHostCommand(stack, "EXIT", CmdQuit);
}

} // namespace cadhost::editor
