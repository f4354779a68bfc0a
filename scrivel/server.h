// Scrivel's start-up: what its command line asks for, and the exit code that results.
#pragma once

#include "win/types.h"

#include <string>
#include <string_view>

namespace scrivel {

enum class Command { RegisterServer, UnregisterServer, RunServer };

// The first argument that is "-" or "/" followed by RegServer or UnregServer (in any letter
// case) decides; anything else (no argument, a file's path, another switch) starts the server.
// The program name is never read as a switch, and a path such as "/tmp/RegServer" is not one.
Command CommandOf(std::string_view commandLine);

// The program's own registration data and the steps that use it.
class ServerModule {
public:
    // Finds the program's own file, which the registration names.  Failure ends the program.
    HRESULT Initialize();

    // The application identity from the registrar script, then the type library.  When error
    // is given it receives what failed, when that is known.
    HRESULT RegisterServer(std::string* error = nullptr) const;
    // The type library, then the application identity.
    HRESULT UnregisterServer(std::string* error = nullptr) const;

    const std::string& ProgramPath() const { return m_programPath; }

private:
    std::string m_programPath; // Windows form
    std::string m_programFolder;
};

// Runs the program for a command line and returns its exit code as Windows would see it: -1
// when start-up fails, the COM result of a registration, else 0.  A failure is also written to
// standard error, in one line that says what failed ("Scrivel: could not register: ...").
int RunScrivel(std::string_view commandLine);

// The exit status that code becomes on this platform, where a process hands its parent only
// the low 8 bits: a failing HRESULT such as 0x8002801C shows as 28, -1 as 255.  A failure
// whose low 8 bits are all zero would read as success, so it becomes 1.
int ExitStatusOf(int code);

} // namespace scrivel
