#include "process_spawn.h"

#include "win/cmdline.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace win::detail {
namespace {

// What the child sends back through the close-on-exec pipe when it cannot become the program.
struct StartFailure {
    int step; // kChangeDirectory or kExec
    int err;
};
constexpr int kChangeDirectory = 1;
constexpr int kExec = 2;

constexpr int kPidDigits = 10;

DWORD ExecError(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
        return ERROR_FILE_NOT_FOUND;
    case ENOEXEC:
    case ELIBBAD:
        return ERROR_BAD_EXE_FORMAT;
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case ENOMEM:
    case EAGAIN:
        return ERROR_NOT_ENOUGH_MEMORY;
    case E2BIG:
        return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Only async-signal-safe calls from here to exec: other threads of the parent may have held
// locks (the allocator's among them) at the moment of the fork.
[[noreturn]] void BecomeProgram(const SpawnRequest& request, char* const* argv, char* const* envp,
                                char* pidDigits, int reportFd) {
    sigset_t none;
    sigemptyset(&none);
    pthread_sigmask(SIG_SETMASK, &none, nullptr);
    // Signals this process ignores (SIGPIPE, typically) would stay ignored across exec.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP)
            sigaction(sig, &byDefault, nullptr);
    }
    if (!request.inheritFiles)
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);

    unsigned long pid = static_cast<unsigned long>(getpid());
    for (int i = kPidDigits - 1; i >= 0; --i) {
        pidDigits[i] = static_cast<char>('0' + pid % 10);
        pid /= 10;
    }

    StartFailure failure{};
    if (!request.directory.empty() && chdir(request.directory.c_str()) != 0) {
        failure = {kChangeDirectory, errno};
    } else {
        execve(request.program.c_str(), argv, envp);
        failure = {kExec, errno};
    }
    ssize_t ignored = write(reportFd, &failure, sizeof failure);
    (void)ignored;
    _exit(127);
}

} // namespace

pid_t Spawn(const SpawnRequest& request, DWORD* error) {
    std::vector<std::string> arguments = request.arguments;
    std::vector<std::string> environment = request.environment;
    std::string prefix = std::string(kCommandLineVariable) + "=";
    std::erase_if(environment, [&](const std::string& entry) { return entry.starts_with(prefix); });
    environment.push_back(prefix + std::string(kPidDigits, '0') + ":" + request.commandLine);
    char* pidDigits = environment.back().data() + prefix.size();
    std::vector<char*> argv = PointersTo(arguments);
    std::vector<char*> envp = PointersTo(environment);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        *error = ERROR_TOO_MANY_OPEN_FILES;
        return -1;
    }
    pid_t pid = fork();
    if (pid == 0)
        BecomeProgram(request, argv.data(), envp.data(), pidDigits, report[1]);
    close(report[1]);
    if (pid < 0) {
        close(report[0]);
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return -1;
    }

    StartFailure failure{};
    ssize_t got;
    do {
        got = read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got <= 0)
        return pid; // exec closed the pipe: the program runs

    int status = 0;
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    *error = failure.step == kChangeDirectory ? ERROR_DIRECTORY : ExecError(failure.err);
    return -1;
}

} // namespace win::detail
