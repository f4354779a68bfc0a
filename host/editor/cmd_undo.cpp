// U and UNDO: taking back whole commands.  Every modal command of a document runs inside an
// undo group of its drawing (opened and closed by Execute); U and UNDO themselves open none,
// so that undoing twice takes back two commands.
#include "db/undolog.h"
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/session.h"
#include "editor/sysvars.h"

#include <cerrno>
#include <cstdlib>

namespace cadhost::editor {

namespace {

void CmdU();
void CmdUndo();

bool IsUndoCommand(AcRxFunctionPtr function) {
    return function == &CmdU || function == &CmdUndo;
}

// Takes back up to count commands of the current drawing and prints, as the host's users
// know it, the name of each one taken back.
void UndoCommands(Session& s, long count) {
    AcDbDatabase* db = CurrentDatabase();
    if (!db)
        return;
    db::UndoLog& log = db::UndoLogOf(*db);
    std::string names;
    for (long i = 0; i < count && log.groupCount() > 0; ++i) {
        std::string name;
        Acad::ErrorStatus es = log.undoLast(name);
        if (es == Acad::eWasOpenForWrite || es == Acad::eWasOpenForRead) {
            // Taking back an object that someone holds open would pull it from under them.
            s.reportFailure("\nAn object of the drawing is still open; nothing more was undone.");
            break;
        }
        names += (names.empty() ? "" : " ") + name;
        if (es != Acad::eOk) {
            s.reportFailure("\n" + names + "\n*** Undo of " + name +
                            " was incomplete: an object did not read back its earlier state.");
            names.clear();
        }
    }
    if (!names.empty())
        s.cmdline.print("\n" + names);
    if (log.groupCount() == 0)
        s.cmdline.print("\nEverything has been undone");
}

void CmdU() {
    UndoCommands(*TheSession(), 1);
}

void CmdUndo() {
    Session& s = *TheSession();
    for (;;) {
        InputItem answer = s.ask("\nEnter the number of operations to undo <1>: ");
        if (answer.kind != InputItem::Text)
            return;
        if (answer.text.empty()) {
            UndoCommands(s, 1);
            return;
        }
        char* end = nullptr;
        errno = 0;
        long count = std::strtol(answer.text.c_str(), &end, 10);
        if (*end || end == answer.text.c_str() || errno == ERANGE) {
            s.reportFailure("\nRequires an integer value.");
            continue;
        }
        if (count < 1) {
            s.reportFailure("\nValue must be positive and nonzero.");
            continue;
        }
        UndoCommands(s, count);
        return;
    }
}

} // namespace

void BeginUndoGroup(Document* doc, const std::string& commandName, AcRxFunctionPtr function) {
    if (doc && doc->database() && !IsUndoCommand(function))
        db::UndoLogOf(*doc->database()).beginGroup(ToUpper(commandName));
}

void EndUndoGroup(Document* doc, AcRxFunctionPtr function) {
    if (doc && doc->database() && !IsUndoCommand(function))
        db::UndoLogOf(*doc->database()).endGroup(Docs().current() == doc);
}

void RegisterUndoCommands(CommandStack& stack) {
    AddHostCommand(stack, "U", &CmdU);
    AddHostCommand(stack, "UNDO", &CmdUndo);
}

} // namespace cadhost::editor
