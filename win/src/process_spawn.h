// fork and exec with the failure of exec reported back, so that a program that could not
// start is never taken for a running one.
#pragma once

#include "win/types.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace win::detail {

struct SpawnRequest {
    std::string program;                  // unix path
    std::vector<std::string> arguments;   // argv, argv[0] included
    std::vector<std::string> environment; // "NAME=value"
    std::string commandLine;              // handed to the child's GetCommandLineA
    std::string directory;                // unix path, or "" for this process's
    bool inheritFiles = false;
};

// The child's pid, or -1 with *error set to the Win32 code of what went wrong.
pid_t Spawn(const SpawnRequest& request, DWORD* error);

} // namespace win::detail
