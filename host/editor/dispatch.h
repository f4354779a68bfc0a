// Running what the user types at the "Command:" prompt.
#pragma once

#include <string>

namespace cadhost::editor {

struct Session;

// Runs one line typed at "Command:".  The first word names a command (or a system variable,
// whose value is then asked for); the rest of the line answers the command's prompts.  False
// when nothing of that name exists.
bool RunCommandLine(Session& session, const std::string& line);

// Reads and runs commands until the input ends or QUIT.
void CommandLoop(Session& session);

// The host's own commands, entered in the command stack at start-up.
void RegisterHostCommands(Session& session);

} // namespace cadhost::editor
