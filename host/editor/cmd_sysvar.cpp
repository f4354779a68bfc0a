// SETVAR and GETVAR, and a system variable's name typed as a command.
#include "editor/hostcommands.h"
#include "editor/session.h"

namespace cadhost::editor {

void RunSysVarPrompt(Session& s, const std::string& typedName) {
    std::string name = ToUpper(typedName);
    InputItem item = s.ask("\nEnter new value for " + name + " <" + s.sysvars.format(name) + ">: ");
    if (item.kind != InputItem::Text || item.text.empty())
        return;
    auto value = s.sysvars.parse(name, item.text);
    if (!value) {
        s.reportFailure("\nInvalid value for " + name + ".");
        return;
    }
    switch (s.sysvars.set(name, *value)) {
    case SystemVariables::Result::Ok:
        break;
    case SystemVariables::Result::ReadOnly:
        s.reportFailure("\n" + name + " is read-only.");
        break;
    case SystemVariables::Result::OutOfRange:
        s.reportFailure("\nValue out of range for " + name + ".");
        break;
    default:
        s.reportFailure("\nInvalid value for " + name + ".");
        break;
    }
}

namespace {

std::string AskName(Session& s) {
    InputItem item = s.ask("\nEnter variable name or [?]: ");
    if (item.kind != InputItem::Text || item.text.empty())
        return {};
    if (item.text == "?") {
        for (const std::string& n : s.sysvars.names())
            s.cmdline.print("\n" + n + "  " + s.sysvars.format(n));
        return {};
    }
    if (!s.sysvars.known(item.text)) {
        s.reportFailure("\nUnknown variable name.  Type SETVAR ? for a list of variables.");
        return {};
    }
    return item.text;
}

void CmdSetVar() {
    Session& s = *TheSession();
    std::string name = AskName(s);
    if (!name.empty())
        RunSysVarPrompt(s, name);
}

void CmdGetVar() {
    Session& s = *TheSession();
    std::string name = AskName(s);
    if (!name.empty())
        s.cmdline.print("\n" + ToUpper(name) + " = " + s.sysvars.format(name));
}

} // namespace

void RegisterSysVarCommands(CommandStack& stack) {
    AddHostCommand(stack, "SETVAR", CmdSetVar, ACRX_CMD_TRANSPARENT);
    AddHostCommand(stack, "GETVAR", CmdGetVar, ACRX_CMD_TRANSPARENT);
}

} // namespace cadhost::editor
