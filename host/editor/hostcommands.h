// The host's own commands, one file per kind.
#pragma once

#include "arx/editor.h"
#include "editor/commandstack.h"

#include <string>

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
void RegisterUndoCommands(CommandStack& stack);
void RegisterWindowCommands(CommandStack& stack);

class Document;
// The undo group of a command on its document's drawing, opened before the command runs and
// closed after it (U and UNDO get none).  EndUndoGroup only while the document still exists.
void BeginUndoGroup(Document* doc, const std::string& commandName, AcRxFunctionPtr function);
void EndUndoGroup(Document* doc, AcRxFunctionPtr function);

void RegisterFileCommands(CommandStack& stack);

struct Session;
// Saves the drawing as QSAVE does: to its file, or, for a drawing that has none, under a name
// asked for.  False when it was not saved (a failure is reported, a cancel is none).
bool SaveDocument(Session& s, Document* doc);

// Asks whether the file NAME, which exists, is to be replaced ("NAME already exists. Do you
// want to replace it?", Yes or No, No by default); true for Yes.
bool UserAllowsReplacing(const std::string& name);

// Reads a DXF drawing (a unix path, or a Windows one through the platform's mapping) into a
// new document that becomes current; nullptr with a one-line reason ("line N: ...") when
// the file cannot be opened.
Document* OpenDrawingDocument(const std::string& typedPath, std::string& error);

} // namespace cadhost::editor
