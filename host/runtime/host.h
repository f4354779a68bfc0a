// The host session: the services a running cadhost offers, started in-process.
//
// The cadhost program starts one session and feeds it its script or terminal; unit tests of
// modules start one the same way and drive it with input lines, reading the command-line log
// back.  Everything runs on the calling thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class AcApDocument;

namespace cadhost {

class InputSource;

struct HostOptions {
    // Echo command-line output to standard output as it is printed (the cadhost program);
    // when false it is only kept in the log that takeOutput() returns (tests).
    bool echoToStdout = false;
    // True when a person types at a terminal: prompts are shown and read interactively.
    bool interactive = false;
};

class Host {
public:
    // Starts the session: registers the host's classes and services in the system registry,
    // opens a first, empty drawing and makes it current.  One session at a time.
    static Host& start(const HostOptions& options = {});
    // Ends the session: unloads modules (forcibly), closes every drawing, removes services.
    static void stop();
    static bool running();
    static Host& instance();

    // ---- Input ----
    // Appends lines to the scripted input, read after any input queued with
    // sendStringToExecute.  Each line is one input: a command, or the answer to a prompt.
    void feedInput(const std::string& lines);
    // The person at a terminal, asked for a line whenever the script has none; the reader
    // returns false at the end of input.
    void setTerminalReader(std::function<bool(std::string&)> reader);
    // Asked before each script line while lines are left: true (Ctrl+C) stops the script.
    // The prompt waiting then is cancelled, and the lines left are not run.
    void setScriptStop(std::function<bool()> stop);
    // Reads and runs input until none is left or QUIT.  Returns false after QUIT.
    bool runPendingInput();
    // Runs one command line as if typed at the "Command:" prompt (with its answers taken from
    // the input that follows).  False when the command is unknown.
    bool runCommand(const std::string& commandLine);

    // ---- Output ----
    // The command-line log since the last call: every printed line, prompts with their
    // echoed answers, message boxes.  Clears the log.
    std::string takeOutput();

    // ---- Documents ----
    AcApDocument* newDocument();
    // Closes the document (notifying document reactors first); the last one may be closed.
    bool closeDocument(AcApDocument* doc);

    // ---- Modules ----
    // Loads a module file (KSRRivlet.arx).  On failure the reason goes to error when given,
    // else to the command line.
    bool loadModule(const std::string& path, std::string* error = nullptr);
    bool unloadModule(const std::string& nameOrPath);

    // Whether QUIT was given.
    bool quitRequested() const;
    // How often a command could not do what it was asked, or refused an answer or a dialog
    // action of the script: unknown commands, commands that threw, and the failures the
    // host's commands report ("Cannot save ...", "No drawing is open.", a refused value).
    // A module's command counts only when it throws.
    int failures() const;

    struct Impl;
    Impl& impl() { return *m_impl; }

private:
    explicit Host(const HostOptions& options);
    ~Host();
    std::unique_ptr<Impl> m_impl;
};

} // namespace cadhost
