// The person at a terminal: the lines typed at the host's prompts, and Ctrl+C.
#pragma once

#include <cstdio>
#include <string>

namespace cadhost::editor {

class CtrlCCatcher;

// What the reader answers for Ctrl+C: the character the key gives, which cancels as a typed
// ^C does (IsCancelLine).
inline constexpr const char* kCtrlCLine = "\x03";

class TerminalInput {
public:
    // Reads lines from the descriptor in; out is where the prompts are shown.  Ctrl+C pressed
    // while a read waits, or earlier while a command was working, is answered as kCtrlCLine.
    TerminalInput(int in, FILE* out, CtrlCCatcher& ctrlC);

    // The next line without its end, or kCtrlCLine after Ctrl+C; false at the end of input.
    bool readLine(std::string& line);

private:
    int m_in;
    FILE* m_out;
    CtrlCCatcher& m_ctrlC;
    std::string m_buffer; // read but not yet answered
    bool m_ended = false;
};

} // namespace cadhost::editor
