// The command line of a process, kept the Windows way: one string that the program splits
// itself, rather than the argument vector a unix program receives.
//
// Splitting follows the C runtime of Windows (and CommandLineToArgvW):
//   - the program name, the first word, is taken literally: when it begins with a double quote
//     it runs to the next double quote, otherwise to the first space or tab; backslashes have
//     no special meaning in it;
//   - the other words are separated by spaces and tabs; double quotes group, and inside a
//     quoted group a doubled quote ("") stands for one literal quote;
//   - 2n backslashes before a double quote become n backslashes and the quote groups;
//     2n+1 backslashes before a double quote become n backslashes and a literal quote;
//     backslashes anywhere else are literal (so "C:\dir\" needs no escaping unless it ends a
//     quoted word).
// A command line that starts with a blank has an empty program name, as on Windows.
#pragma once

#include "win/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace win {

// The words of a command line; the first is the program name.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// One argument (not the program name) written so that SplitCommandLine gives it back
// unchanged: as it is when it needs no quoting, else in double quotes with the backslashes and
// quotes escaped.  An empty argument becomes "".
std::string QuoteArgument(std::string argument);

// A whole command line from its words.  The program name is quoted by its own, simpler rule
// (no escapes exist there), so a program name cannot carry a double quote: any it has are
// dropped.  For every other vector, SplitCommandLine(JoinCommandLine(args)) == args.
std::string JoinCommandLine(const std::vector<std::string>& args);

// Sets the process's command line from main's arguments; programs call it first thing.
// When this process was started by CreateProcessA of this layer, the exact command line the
// parent gave is used instead (splitting and re-joining does not give back every string), and
// the environment variable that carried it is removed, so that programs started later do not
// see it.
void SetProcessCommandLine(int argc, const char* const* argv);

// The environment variable through which CreateProcessA hands the command line to its child:
// "<pid>:<command line>", the pid being the child's own so that a grandchild started by other
// means, which inherits the variable, does not take it for its own.
inline constexpr const char* kCommandLineVariable = "WINPLAT_COMMAND_LINE";

} // namespace win

// The process's full command line.  Without an earlier SetProcessCommandLine it is the one
// handed down by CreateProcessA, else one joined from the process's arguments.  The text lives
// until the next SetProcessCommandLine.
LPSTR GetCommandLineA();
