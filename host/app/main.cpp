// cadhost: the CAD host.  Loads modules, then runs a script or an interactive "Command:"
// prompt, at a terminal or (--gui) in a window.
#include "app/options.h"
#include "editor/ctrlc.h"
#include "editor/documents.h"
#include "editor/hostcommands.h"
#include "editor/terminal.h"
#include "editor/wholefile.h"
#include "runtime/host.h"

#include "win/cmdline.h"

#if CADHOST_WITH_GUI
#include "gui/qtapplication.h"
#include "gui/windowsession.h"
#endif

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

int Fail(const std::string& message, int status) {
    std::fflush(stdout);
    std::fprintf(stderr, "cadhost: %s\n", message.c_str());
    return status;
}

#if CADHOST_WITH_GUI
// The pause between a script's lines in the window: $CADHOST_STEP_MS, else enough to follow.
int StepMilliseconds() {
    const char* value = std::getenv("CADHOST_STEP_MS");
    if (!value || !*value)
        return 400;
    char* end = nullptr;
    long ms = std::strtol(value, &end, 10);
    return *end || ms < 0 ? 400 : static_cast<int>(std::min(ms, 60000L));
}
#endif

} // namespace

int main(int argc, char** argv) {
    win::SetProcessCommandLine(argc, argv);
    std::string error;
    auto options = cadhost::app::ParseOptions(argc, argv, error);
    if (!options)
        return Fail(error, 2);
    if (options->help) {
        std::fputs(cadhost::app::kUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::puts("cadhost 16.0 (module interface 16)");
        return 0;
    }
#if CADHOST_WITH_GUI
    if (std::string why; options->gui && !cadhost::gui::CanShowWindows(why))
        return Fail("--gui: " + why, 2);
#else
    if (options->gui)
        return Fail("--gui: this cadhost was built without its window (Qt 6 Widgets)", 2);
#endif
    std::string script, why;
    if (options->script && !cadhost::editor::ReadWholeFile(*options->script, script, &why))
        return Fail("cannot read script " + *options->script + ": " + why, 2);

    // In the window the log still goes to standard output, line by line.
    bool interactive =
        !options->gui && !options->script && ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
    cadhost::HostOptions hostOptions;
    hostOptions.echoToStdout = true;
    hostOptions.interactive = interactive;
    cadhost::Host& host = cadhost::Host::start(hostOptions);

    for (const std::string& module : options->modules) {
        std::string why;
        if (!host.loadModule(module, &why)) {
            cadhost::Host::stop();
            return Fail(why, 1);
        }
    }
    // The drawing is read after the modules load, so that their classes read their objects.
    if (options->drawing) {
        std::string why;
        AcApDocument* first = cadhost::editor::Docs().current();
        if (!cadhost::editor::OpenDrawingDocument(*options->drawing, why)) {
            cadhost::Host::stop();
            return Fail("Cannot open " + *options->drawing + ": " + why, 1);
        }
        // The drawing takes the place of the empty one the session started with.
        if (first)
            host.closeDocument(first);
    }
#if CADHOST_WITH_GUI
    if (options->gui) {
        cadhost::gui::WindowOptions windowOptions;
        windowOptions.stepMilliseconds = StepMilliseconds();
        {
            cadhost::gui::WindowSession window(host, windowOptions);
            if (options->script)
                host.feedInput(script);
            window.show();
            host.runPendingInput();
        }
        // A script played in the window says, as at the terminal, whether every command did
        // what it was asked.
        bool failed = options->script && host.failures() > 0;
        cadhost::Host::stop();
        return failed ? 1 : 0;
    }
#endif
    if (options->script) {
        host.feedInput(script);
    } else if (!interactive) {
        std::ostringstream all;
        all << std::cin.rdbuf();
        host.feedInput(all.str());
    }
    // Ctrl+C at the terminal cancels the prompt waiting, as a typed ^C does, and never ends
    // the session (QUIT does).  In a script run it stops the script: the prompt waiting is
    // cancelled, the lines left are not run, and cadhost ends as interrupted; a second Ctrl+C
    // ends it at once.
    using cadhost::editor::CtrlCCatcher;
    CtrlCCatcher ctrlC(interactive ? CtrlCCatcher::Again::Caught
                                   : CtrlCCatcher::Again::EndsProgram);
    std::optional<cadhost::editor::TerminalInput> terminal;
    bool stopped = false;
    if (interactive) {
        terminal.emplace(STDIN_FILENO, stdout, ctrlC);
        host.setTerminalReader([&](std::string& line) { return terminal->readLine(line); });
    } else {
        host.setScriptStop([&] { return stopped = stopped || ctrlC.take(); });
    }
    host.runPendingInput();
    // A script run, from -b or standard input, says whether every command did what it was
    // asked; a person at the terminal has seen it.
    bool failed = !interactive && host.failures() > 0;
    cadhost::Host::stop();
    if (stopped) {
        // Ended as Ctrl+C ends a program, so that a shell running cadhost in a loop stops too.
        std::fflush(nullptr);
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return 128 + SIGINT;
    }
    return failed ? 1 : 0;
}
