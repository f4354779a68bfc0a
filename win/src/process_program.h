// Finding the program that CreateProcessA runs, and what it is given.
#pragma once

#include "win/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace win::detail {

struct ProgramChoice {
    std::string hostPath;               // the file to run; "" when none was found
    std::string name;                   // the program as the command line names it
    std::vector<std::string> arguments; // the words after it, untranslated
};

// The program of a command line without an application name (see win/process.h).
ProgramChoice ChooseProgramOfCommandLine(std::string_view commandLine);

// The program given as an application name, with the arguments of its command line.
ProgramChoice ChooseNamedProgram(const std::string& applicationName, const char* commandLine);

// ERROR_SUCCESS when the file can be run, else the reason it cannot.
DWORD CheckRunnable(const std::string& hostPath);

// "C:\..." or "Z:/...": a path that a native program could not open as it is.
bool IsDriveLetterPath(std::string_view text);

// An argument as a native program needs it: drive-letter paths as unix paths.
std::string TranslateArgument(const std::string& argument);

} // namespace win::detail
