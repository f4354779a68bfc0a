// cadhost: the headless CAD host.  Loads modules, then runs a script or an interactive
// "Command:" prompt.
#include "app/options.h"
#include "editor/ctrlc.h"
#include "editor/documents.h"
#include "editor/hostcommands.h"
#include "editor/terminal.h"
#include "editor/wholefile.h"
#include "runtime/host.h"

#include "win/cmdline.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
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
    std::string script, why;
    if (options->script && !cadhost::editor::ReadWholeFile(*options->script, script, &why))
        return Fail("cannot read script " + *options->script + ": " + why, 2);

    bool interactive = !options->script && ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
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
