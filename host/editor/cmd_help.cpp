// HELP: the commands the host knows now, with the group of each.
#include "editor/hostcommands.h"
#include "editor/session.h"

namespace cadhost::editor {

namespace {

void CmdHelp() {
    Session& s = *TheSession();
    std::string group;
    for (AcEdCommand* c : s.commands.all()) {
        if (group != c->groupName()) {
            group = c->groupName();
            s.cmdline.print("\n" + group + ":");
        }
        s.cmdline.print(std::string("\n  ") + c->localName());
    }
}

} // namespace

void RegisterHelpCommands(CommandStack& stack) {
    AddHostCommand(stack, "HELP", CmdHelp, ACRX_CMD_TRANSPARENT);
}

} // namespace cadhost::editor
