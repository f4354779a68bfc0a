// A started child process as the process and thread handles see it: waiting, reaping, the
// exit code and termination.
#pragma once

#include "handles.h"

#include "win/types.h"

#include <memory>
#include <mutex>
#include <sys/types.h>

namespace win::detail {

class ChildProcess {
public:
    explicit ChildProcess(pid_t pid) : m_pid(pid) {}
    // The last handle is gone: reap now when the process has ended, else in the background
    // when it does.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    DWORD Wait(DWORD milliseconds);
    // STILL_ACTIVE while running.
    DWORD ExitCode();
    BOOL Terminate(UINT exitCode);

private:
    // Reaps the process when it has ended; true once it is reaped.  Reaping happens only under
    // the lock, so the pid cannot be reused by the system while a caller holds the lock and
    // sees the process unreaped.
    bool ReapIfEndedLocked();
    void RecordLocked(int status);
    bool PollUntilEnded(DWORD milliseconds);

    const pid_t m_pid;
    std::mutex m_mutex;
    bool m_reaped = false;
    DWORD m_exitCode = 0;
    bool m_terminated = false;
    DWORD m_terminateCode = 0;
};

// The process and thread handles of one child share its state.
struct ChildHandle : HandleObject {
    explicit ChildHandle(std::shared_ptr<ChildProcess> c) : child(std::move(c)) {}
    std::shared_ptr<ChildProcess> child;
};
struct ProcessHandle : ChildHandle {
    using ChildHandle::ChildHandle;
};
struct ThreadHandle : ChildHandle {
    using ChildHandle::ChildHandle;
};

} // namespace win::detail
