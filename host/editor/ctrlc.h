// Ctrl+C (SIGINT) taken as input rather than as the end of the program.
//
// While a CtrlCCatcher exists, SIGINT runs a handler that only writes a byte to a pipe of the
// catcher's (write is safe in a signal handler); the program asks take() between its steps,
// and a reader that waits for input waits for fd() as well, so that Ctrl+C wakes it.
#pragma once

namespace cadhost::editor {

class CtrlCCatcher {
public:
    enum class Again {
        Caught,     // every Ctrl+C is caught: a person at a prompt
        EndsProgram // after the first, SIGINT does what it did before: a script run
    };
    // One catcher at a time; the previous handling of SIGINT comes back at the end.
    explicit CtrlCCatcher(Again again);
    ~CtrlCCatcher();
    CtrlCCatcher(const CtrlCCatcher&) = delete;
    CtrlCCatcher& operator=(const CtrlCCatcher&) = delete;

    // Readable after Ctrl+C, until take().
    int fd() const;
    // Whether Ctrl+C came since the last take; the next take is false until it comes again.
    bool take();
};

} // namespace cadhost::editor
