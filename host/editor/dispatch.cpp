#include "editor/dispatch.h"

#include "editor/documents.h"
#include "editor/hostcommands.h"
#include "editor/session.h"

#include <exception>

namespace cadhost::editor {

void RunSysVarPrompt(Session& session, const std::string& name); // cmd_sysvar.cpp

namespace {

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Runs a command with what the host does around every command: a modal command holds a lock
// on its document while it runs, editor reactors hear of its start and end, and a command
// that throws is reported without taking the host down.
void Execute(Session& session, AcEdCommand* command) {
    Document* doc = Docs().current();
    std::string name = command->globalName();
    AcRxFunctionPtr function = command->functionAddr(); // the command may be removed meanwhile
    bool modal = (command->commandFlags() & ACRX_CMD_TRANSPARENT) == 0;
    bool locked = false;
    // Every modal command is one step that U takes back.
    bool undoGroup = doc && modal;
    if (undoGroup)
        BeginUndoGroup(doc, name, function);
    if (doc && modal && (command->commandFlags() & ACRX_CMD_SESSION) == 0)
        ++doc->commandDepth();
    if (doc && modal &&
        (command->commandFlags() & (ACRX_CMD_SESSION | ACRX_CMD_NOINTERNALLOCK)) == 0) {
        locked =
            Docs().lockDocument(doc, AcAp::kAutoWrite, name.c_str(), nullptr, false) == Acad::eOk;
    }
    session.editor.notify([&](AcEditorReactor* r) { r->commandWillStart(name.c_str()); });
    bool failed = false;
    try {
        function();
    } catch (const std::exception& e) {
        failed = true;
        session.reportFailure("\n*** " + name + " failed: " + e.what());
    } catch (...) {
        failed = true;
        session.reportFailure("\n*** " + name + " failed.");
    }
    // The command may have closed its document.
    if (doc && Docs().find(doc)) {
        if (locked)
            Docs().unlockDocument(doc);
        if (modal && (command->commandFlags() & ACRX_CMD_SESSION) == 0)
            --doc->commandDepth();
        if (undoGroup)
            EndUndoGroup(doc, function);
    }
    if (failed)
        session.editor.notify([&](AcEditorReactor* r) { r->commandFailed(name.c_str()); });
    else
        session.editor.notify([&](AcEditorReactor* r) { r->commandEnded(name.c_str()); });
}

} // namespace

bool RunCommandLine(Session& session, const std::string& rawLine) {
    std::string line = Trim(rawLine);
    if (line.empty())
        return true;
    std::size_t blank = line.find(' ');
    std::string word = line.substr(0, blank);
    if (blank != std::string::npos) {
        std::deque<InputItem> rest = SplitTypedText(Trim(line.substr(blank + 1)), false);
        session.pending.insert(session.pending.begin(), rest.begin(), rest.end());
    }
    if (word.size() > 1 && (word[0] == '.' || word[0] == '\''))
        word.erase(0, 1); // the built-in form and the transparent form name the same command
    if (AcEdCommand* command = session.commands.resolveTyped(word)) {
        session.lastCommand = command->globalName();
        Execute(session, command);
        session.pending.clear();
        return true;
    }
    if (session.sysvars.known(word)) {
        RunSysVarPrompt(session, word);
        session.pending.clear();
        return true;
    }
    session.pending.clear();
    session.editor.notify([&](AcEditorReactor* r) { r->unknownCommand(word.c_str(), nullptr); });
    session.reportFailure("\nUnknown command \"" + ToUpper(word) +
                          "\".  Type HELP for the list of commands.");
    return false;
}

void CommandLoop(Session& session) {
    while (!session.quit) {
        session.cmdline.prompt("Command: ");
        session.commandPrompt = true;
        InputItem item = session.read();
        session.commandPrompt = false;
        if (item.kind == InputItem::End) {
            session.cmdline.dropPrompt("Command: ");
            break;
        }
        if (item.kind == InputItem::Cancel) {
            if (item.echo)
                session.cmdline.echoInput("*Cancel*");
            continue;
        }
        if (item.echo)
            session.cmdline.echoInput(item.text);
        RunCommandLine(session, item.text);
    }
}

} // namespace cadhost::editor
