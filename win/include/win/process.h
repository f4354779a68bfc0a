// Starting programs and waiting for them: CreateProcessA and the calls around it, on fork and
// exec.
//
// Which program runs.  With an application name, that is the program (a Windows path; a
// relative one is taken from the current directory, the search path is not used).  Without
// one, the program is the first word of the command line, as Windows finds it: a quoted first
// word is taken whole; an unquoted one that contains blanks is tried at every blank in turn
// ("C:\Program Files\Ed\ed.exe file" tries "C:\Program", then "C:\Program Files\Ed\ed.exe",
// ...) and the first that names an existing file wins.  A name with a drive or a separator is
// a Windows path (see win/paths.h); a bare name is searched in the folders of PATH.  A name
// ending in ".exe" (any letter case) is also found without that extension, since programs here
// have none.  A missing program gives ERROR_FILE_NOT_FOUND; a folder or a file without execute
// permission ERROR_ACCESS_DENIED; a file the system cannot run (no "#!" line, not a binary)
// ERROR_BAD_EXE_FORMAT.  CreateProcessA returns TRUE only once the program really runs.
//
// What the program receives.  Its argv[0] is the unix path of the program; the other arguments
// are the words after the program in the command line, split by the rules of win/cmdline.h.
// Every argument that is a Windows path with a drive letter ("C:\...", "Z:/...", either
// separator) is handed over as its unix path, because a native program cannot open drive
// letters; other arguments pass unchanged.  The exact command line given here reaches the
// child's GetCommandLineA (see win/cmdline.h).
//
// lpEnvironment is a block "NAME=value\0...\0\0" (narrow characters) or null for this process's
// environment; lpCurrentDirectory a Windows path to an existing folder (ERROR_DIRECTORY
// otherwise) or null for this process's.  Handles are this layer's objects, not unix files, so
// bInheritHandles only decides whether the unix files this process has open (beyond standard
// input, output and error) stay open in the child.  The child always shares this process's
// standard input, output and error: the STARTUPINFOA fields are accepted and not used, and so
// are the security attributes and the creation flags (consoles, priorities).
//
// The process and thread handles both wait for the process.  Closing them never stops it, and
// a process that ends after its last handle was closed is reaped all the same: no zombie stays.
#pragma once

#include "win/types.h"

#include <functional>
#include <optional>
#include <string>

inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0x000;
inline constexpr DWORD WAIT_TIMEOUT = 0x102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD STILL_ACTIVE = 259;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts a program (see the top of this file).  The start-up and process-information
// structures are required (ERROR_INVALID_PARAMETER otherwise), as is an application name or a
// command line.  The caller closes both handles it gets.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                    LPSTARTUPINFOA lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);

// Waits until the process of a process or thread handle has ended: WAIT_OBJECT_0 when it has,
// WAIT_TIMEOUT when dwMilliseconds passed first (INFINITE never passes), WAIT_FAILED with
// ERROR_INVALID_HANDLE for a handle that is neither.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// STILL_ACTIVE while the process runs, then its exit status (0 to 255 here).  A process ended
// by a signal reports 128 plus the signal number, as a shell does, except one ended by
// TerminateProcess, which reports the code given there.
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);

// Kills the process (SIGKILL; what it started itself goes on running, as on Windows).  FALSE
// with ERROR_ACCESS_DENIED when it has already ended.
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);

DWORD GetCurrentProcessId();

namespace win {

// While this process waits for another one to end (WaitForSingleObject, and so RunAndWait),
// the callback runs every kWaitCallbackInterval milliseconds on the waiting thread, so that
// a window keeps showing itself while the program it waits for runs.  An empty callback
// removes it.  Returns the one it replaces.
inline constexpr DWORD kWaitCallbackInterval = 25;
std::function<void()> SetWaitCallback(std::function<void()> callback);

// Starts a command line (its first word is the program, found as CreateProcessA finds it)
// and waits for the process to end: its exit status, or nothing when it did not start.
std::optional<DWORD> RunAndWait(std::string commandLine);

} // namespace win
