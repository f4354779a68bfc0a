#include "editor/hostcommands.h"

#include "editor/dispatch.h"
#include "editor/session.h"

namespace cadhost::editor {

void RegisterHostCommands(Session& session) {
    CommandStack& stack = session.commands;
    RegisterDocumentCommands(stack);
    RegisterModuleCommands(stack);
    RegisterSysVarCommands(stack);
    RegisterUcsCommands(stack);
    RegisterSelectionCommands(stack);
    RegisterDrawCommands(stack);
    RegisterHelpCommands(stack);
    RegisterMTextCommands(stack);
    RegisterExportCommands(stack);
    RegisterUndoCommands(stack);
    RegisterFileCommands(stack);
    RegisterWindowCommands(stack);
}

} // namespace cadhost::editor
