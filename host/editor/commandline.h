// The command-line window of the host: what commands and modules print, prompts and the
// inputs echoed after them.
//
// Text is kept as lines.  "\n" ends the current line; "\r" returns to its start so that what
// follows overwrites it (progress spinners use this).  The finished log goes to the session's
// log (Host::takeOutput) and, when asked, to standard output: on a terminal the characters go
// out as they come (the terminal handles "\r"); elsewhere only finished lines are written, so
// a log file holds what the user would have seen, not the overwritten frames.
#pragma once

#include <cstdio>
#include <string>

namespace cadhost::editor {

class CommandLine {
public:
    // Follows the text as it shows: a window's command-line pane.
    class Listener {
    public:
        virtual ~Listener() = default;
        // A line is finished: it moves to the history.
        virtual void lineFinished(const std::string& line) = 0;
        // The current, unfinished line now reads so (a prompt, an answer being echoed, a
        // spinner's frame).
        virtual void currentLineChanged(const std::string& line) = 0;
    };
    // nullptr: none.  The listener stays the caller's.
    void setListener(Listener* listener) { m_listener = listener; }

    // echo: write to out (standard output in the program); interactive: out is a terminal.
    void configure(FILE* out, bool interactive);

    void print(const std::string& text);
    // Prints a prompt: a new line (unless the current one is empty) and the prompt text.
    void prompt(const std::string& text);
    // The user's reply, as it appears after its prompt.
    void echoInput(const std::string& text);
    // Prints lines of the host's own (a message box, a notice) on lines of their own: the
    // current line is ended first, and the line feed that the next message begins with does
    // not open an empty line after them.
    void printBlock(const std::string& lines);
    // Forgets an unanswered prompt on the current line (input ended while it waited).
    void dropPrompt(const std::string& prompt);
    // Ends the current line if it holds text (at exit, before a message box is shown).
    void finishLine();

    // Everything printed since the last call (finished lines each followed by "\n", then the
    // current unfinished line).
    std::string takeLog();
    // The text of the current unfinished line.
    const std::string& currentLine() const { return m_line; }
    bool interactive() const { return m_interactive; }

private:
    bool put(char c);
    void endLine();

    void notify();

    Listener* m_listener = nullptr;
    FILE* m_out = nullptr;
    bool m_interactive = false;
    std::string m_line;       // the current line as it shows
    std::size_t m_cursor = 0; // where the next character goes in m_line
    std::string m_log;        // finished lines not yet taken
    std::string m_reported;   // part of the current line already returned by takeLog
    bool m_anyOutput = false;
    bool m_terminalAtLineStart = false;
    bool m_afterBlock = false;
    bool m_afterAnswer = false; // the current line ends with the user's answer
};

} // namespace cadhost::editor
