// The host's own commands, one file per kind.
#pragma once

#include "arx/editor.h"
#include "editor/commandstack.h"

namespace cadhost::editor {

inline void AddHostCommand(CommandStack& stack, const char* name, AcRxFunctionPtr function,
                           int flags = ACRX_CMD_MODAL) {
    stack.addCommand(CommandStack::kHostGroup, name, name, flags, function, nullptr, -1, nullptr,
                     nullptr);
}

void RegisterDocumentCommands(CommandStack& stack);
void RegisterModuleCommands(CommandStack& stack);
void RegisterSysVarCommands(CommandStack& stack);
void RegisterUcsCommands(CommandStack& stack);
void RegisterSelectionCommands(CommandStack& stack);
void RegisterDrawCommands(CommandStack& stack);
void RegisterHelpCommands(CommandStack& stack);
void RegisterMTextCommands(CommandStack& stack);
void RegisterExportCommands(CommandStack& stack);

} // namespace cadhost::editor
