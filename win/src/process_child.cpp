#include "process_child.h"

#include "win/process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace win::detail {
namespace {

// Someone else in this process reaped the child (or SIGCHLD is ignored, which makes the system
// discard exit statuses): its status is gone, and failure is the safer thing to report.
constexpr DWORD kExitStatusLost = 0xFFFFFFFFu;

using Clock = std::chrono::steady_clock;

std::function<void()>& WaitCallback() {
    static std::function<void()> callback;
    return callback;
}

// A copy runs, so that the callback may replace itself.
void RunWaitCallback() {
    if (std::function<void()> callback = WaitCallback())
        callback();
}

// How long the next poll may sleep: until the deadline, and no longer than the interval of
// the wait callback when there is one.
int PollTimeout(DWORD milliseconds, Clock::time_point deadline) {
    long long limit = WaitCallback() ? kWaitCallbackInterval : -1;
    if (milliseconds == INFINITE)
        return static_cast<int>(limit);
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    long long timeout = std::clamp<long long>(left.count(), 0, INT_MAX);
    return static_cast<int>(limit >= 0 ? std::min(timeout, limit) : timeout);
}

} // namespace

ChildProcess::~ChildProcess() {
    if (ReapIfEndedLocked()) // no other owner is left, so no lock is needed
        return;
    pid_t pid = m_pid;
    try {
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // No thread to spare: the process stays a zombie until this one ends.
    }
}

bool ChildProcess::ReapIfEndedLocked() {
    if (m_reaped)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(m_pid, &status, WNOHANG);
    } while (r == -1 && errno == EINTR);
    if (r == m_pid) {
        RecordLocked(status);
        return true;
    }
    if (r == -1 && errno == ECHILD) {
        m_reaped = true;
        m_exitCode = kExitStatusLost;
        return true;
    }
    return false;
}

void ChildProcess::RecordLocked(int status) {
    m_reaped = true;
    if (WIFEXITED(status))
        m_exitCode = static_cast<DWORD>(WEXITSTATUS(status));
    else if (WIFSIGNALED(status) && m_terminated && WTERMSIG(status) == SIGKILL)
        m_exitCode = m_terminateCode;
    else if (WIFSIGNALED(status))
        m_exitCode = 128u + static_cast<DWORD>(WTERMSIG(status));
    else
        m_exitCode = kExitStatusLost;
}

DWORD ChildProcess::Wait(DWORD milliseconds) {
    int pidfd = -1;
    {
        std::lock_guard lock(m_mutex);
        if (ReapIfEndedLocked())
            return WAIT_OBJECT_0;
        if (milliseconds == 0)
            return WAIT_TIMEOUT;
        // Opened while the process is known unreaped, the descriptor names this process even if
        // another thread reaps it and the pid is reused.
        pidfd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    }
    if (pidfd < 0)
        return PollUntilEnded(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;

    const Clock::time_point deadline = milliseconds == INFINITE
                                           ? Clock::time_point::max()
                                           : Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        pollfd entry{pidfd, POLLIN, 0};
        int timeout = PollTimeout(milliseconds, deadline);
        int ready = poll(&entry, 1, timeout);
        if (ready > 0 || (ready == 0 && timeout >= 0 && Clock::now() >= deadline))
            break;
        if (ready < 0 && errno != EINTR)
            break;
        if (ready == 0)
            RunWaitCallback();
    }
    close(pidfd);
    std::lock_guard lock(m_mutex);
    return ReapIfEndedLocked() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

// Without process descriptors (an old kernel, no descriptor to spare): look now and then.
bool ChildProcess::PollUntilEnded(DWORD milliseconds) {
    const Clock::time_point start = Clock::now();
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (ReapIfEndedLocked())
                return true;
        }
        if (milliseconds != INFINITE &&
            Clock::now() - start >= std::chrono::milliseconds(milliseconds))
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(kWaitCallbackInterval));
        RunWaitCallback();
    }
}

DWORD ChildProcess::ExitCode() {
    std::lock_guard lock(m_mutex);
    return ReapIfEndedLocked() ? m_exitCode : STILL_ACTIVE;
}

BOOL ChildProcess::Terminate(UINT exitCode) {
    std::lock_guard lock(m_mutex);
    if (ReapIfEndedLocked()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    m_terminated = true;
    m_terminateCode = exitCode;
    if (kill(m_pid, SIGKILL) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

} // namespace win::detail

namespace win {

std::function<void()> SetWaitCallback(std::function<void()> callback) {
    std::function<void()> previous = std::move(detail::WaitCallback());
    detail::WaitCallback() = std::move(callback);
    return previous;
}

} // namespace win
