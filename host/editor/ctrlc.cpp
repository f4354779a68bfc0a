#include "editor/ctrlc.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace cadhost::editor {

namespace {

// The catcher's pipe: the handler writes to [1], take() empties [0].
int g_pipe[2] = {-1, -1};
struct sigaction g_previous {};

void OnCtrlC(int) {
    int saved = errno;
    char byte = 1;
    // A full pipe holds Ctrl+C enough already.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

CtrlCCatcher::CtrlCCatcher(Again again) {
    if (g_pipe[0] >= 0)
        throw std::logic_error("Ctrl+C is caught already");
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make the pipe for Ctrl+C");
    ::sigaction(SIGINT, nullptr, &g_previous);
    // Whoever started the program wants SIGINT ignored (a job in the background of a shell).
    if (!(g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = OnCtrlC;
    sigemptyset(&action.sa_mask);
    // Calls the signal breaks into (a wait for a program, a save's writes) go on; a reader's
    // wait for input is woken by the pipe.
    action.sa_flags = SA_RESTART;
    if (again == Again::EndsProgram)
        action.sa_flags |= SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
}

CtrlCCatcher::~CtrlCCatcher() {
    ::sigaction(SIGINT, &g_previous, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

int CtrlCCatcher::fd() const {
    return g_pipe[0];
}

bool CtrlCCatcher::take() {
    bool any = false;
    char bytes[64];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

} // namespace cadhost::editor
