// Where the host's input comes from: text queued to a document's command line first
// (sendStringToExecute), then the script, then the person at the terminal.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace cadhost::editor {

struct InputItem {
    enum Kind { Text, Cancel, End };
    Kind kind = End;
    std::string text;
    bool echo = true;
    bool queued = false; // came from a document's queue, not from the script or terminal
};

// Splits text sent to a command line into inputs, as typing it would: a blank or a line end
// is Enter, the character with code 3 cancels.  Trailing characters count as one more input.
std::deque<InputItem> SplitTypedText(const std::string& text, bool echo);

// Whether a line cancels: "*Cancel*", "^C", Escape, or Ctrl+C at a terminal.
bool IsCancelLine(const std::string& line);

// A script line's meaning: a line that cancels (IsCancelLine) is a cancel; other lines are
// one input each.
InputItem ScriptLineToItem(const std::string& line);

class ScriptInput {
public:
    // Appends lines; a UTF-8 byte order mark at the start of the text is skipped.
    void feed(const std::string& lines);
    // The next line that is not a comment (";" first), without taking it.
    std::optional<std::string> peek();
    std::optional<std::string> take();
    bool empty();
    // A person at a terminal answers when the script has nothing: given the prompt already
    // shown, returns false at end of input.
    void setTerminal(std::function<bool(std::string&)> reader) { m_terminal = std::move(reader); }
    bool hasTerminal() const { return bool(m_terminal); }
    bool readTerminal(std::string& line) { return m_terminal && m_terminal(line); }
    // Asked before each line is looked at while lines are left; true (Ctrl+C was pressed)
    // stops the script: its lines are dropped.
    void setStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }
    // Once after the script was stopped: how many lines it had left.
    std::optional<std::size_t> takeStop();
    // Runs before each line is taken, so that a window can show what the lines before did
    // (and pause for a viewer) as the script plays.
    void setPacer(std::function<void()> pacer) { m_pacer = std::move(pacer); }

private:
    void skipComments();
    std::deque<std::string> m_lines;
    std::function<bool(std::string&)> m_terminal;
    std::function<bool()> m_stopCheck;
    std::optional<std::size_t> m_stoppedWith;
    std::function<void()> m_pacer;
};

} // namespace cadhost::editor
