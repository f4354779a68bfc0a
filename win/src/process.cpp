#include "win/process.h"

#include "handles.h"
#include "process_child.h"
#include "process_program.h"
#include "process_spawn.h"

#include "win/handles.h"
#include "win/paths.h"

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace win::detail;

std::vector<std::string> EnvironmentOf(LPVOID block) {
    std::vector<std::string> entries;
    if (!block) {
        for (char** entry = environ; entry && *entry; ++entry)
            entries.emplace_back(*entry);
        return entries;
    }
    for (const char* p = static_cast<const char*>(block); *p; p += std::strlen(p) + 1) {
        std::string entry(p);
        // Entries without a name ("=C:=C:\\dir", the per-drive folders of Windows) mean nothing
        // to a unix program.
        if (entry.find('=') != std::string::npos && entry.front() != '=')
            entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsFolder(const std::string& hostPath) {
    struct stat st {};
    return !hostPath.empty() && stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL bInheritHandles, DWORD, LPVOID lpEnvironment,
                    LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation) {
    if (!lpStartupInfo || !lpProcessInformation || (!lpApplicationName && !lpCommandLine)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string commandLine = lpCommandLine ? lpCommandLine : lpApplicationName;
    ProgramChoice choice = lpApplicationName ? ChooseNamedProgram(lpApplicationName, lpCommandLine)
                                             : ChooseProgramOfCommandLine(commandLine);
    if (choice.hostPath.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (DWORD error = CheckRunnable(choice.hostPath); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }

    SpawnRequest request;
    request.program = choice.hostPath;
    request.arguments.push_back(choice.hostPath);
    for (const auto& argument : choice.arguments)
        request.arguments.push_back(TranslateArgument(argument));
    request.environment = EnvironmentOf(lpEnvironment);
    request.commandLine = commandLine;
    request.inheritFiles = bInheritHandles != FALSE;
    if (lpCurrentDirectory) {
        request.directory = win::ToHostPath(lpCurrentDirectory);
        if (!IsFolder(request.directory)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
    }

    DWORD error = ERROR_SUCCESS;
    pid_t pid = Spawn(request, &error);
    if (pid < 0) {
        SetLastError(error);
        return FALSE;
    }
    auto child = std::make_shared<ChildProcess>(pid);
    lpProcessInformation->hProcess = RegisterHandle(new ProcessHandle(child));
    lpProcessInformation->hThread = RegisterHandle(new ThreadHandle(child));
    lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
    lpProcessInformation->dwThreadId = static_cast<DWORD>(pid); // a main thread's id is its pid
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    // Held for the whole wait, so that closing the handle meanwhile cannot free the state.
    std::shared_ptr<ChildProcess> child;
    if (auto* object = LookupHandleAs<ChildHandle>(hHandle))
        child = object->child;
    if (!child)
        return WAIT_FAILED;
    return child->Wait(dwMilliseconds);
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    auto* process = LookupHandleAs<ProcessHandle>(hProcess);
    if (!process)
        return FALSE;
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpExitCode = process->child->ExitCode();
    return TRUE;
}

BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode) {
    auto* process = LookupHandleAs<ProcessHandle>(hProcess);
    if (!process)
        return FALSE;
    return process->child->Terminate(uExitCode);
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

namespace win {

std::optional<DWORD> RunAndWait(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return std::nullopt;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    return status;
}

} // namespace win
