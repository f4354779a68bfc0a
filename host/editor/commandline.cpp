#include "editor/commandline.h"

#include <string_view>

namespace cadhost::editor {

void CommandLine::configure(FILE* out, bool interactive) {
    m_out = out;
    m_interactive = interactive;
}

// Applies one character to the current line; false when it was swallowed (a line feed that
// would only open an empty line).
bool CommandLine::put(char c) {
    if (c == '\n' && m_afterBlock && m_line.empty()) {
        m_afterBlock = false;
        return false;
    }
    m_afterBlock = false;
    if (c == '\n') {
        // The host's messages begin with a line feed; the very first one of a session would
        // only open an empty line.
        if (!m_anyOutput && m_line.empty())
            return false;
        endLine();
        return true;
    }
    if (c == '\r') {
        m_cursor = 0;
        return true;
    }
    m_anyOutput = true;
    if (m_cursor < m_line.size())
        m_line[m_cursor] = c;
    else
        m_line.push_back(c);
    ++m_cursor;
    return true;
}

void CommandLine::endLine() {
    std::string finished = m_line;
    if (!m_reported.empty() && finished.compare(0, m_reported.size(), m_reported) == 0)
        m_log += finished.substr(m_reported.size());
    else
        m_log += finished;
    m_log += '\n';
    m_reported.clear();
    if (m_listener)
        m_listener->lineFinished(m_line);
    if (m_out && !m_interactive) {
        std::fwrite(m_line.data(), 1, m_line.size(), m_out);
        std::fputc('\n', m_out);
        std::fflush(m_out);
    }
    m_line.clear();
    m_cursor = 0;
}

void CommandLine::print(const std::string& text) {
    // The user's answer stays on its prompt's line: what returns to the start of the line
    // right after it writes on a new line.
    if (m_afterAnswer && !text.empty() && text.front() == '\r' && !m_line.empty())
        print("\n");
    m_afterAnswer = false;
    std::string shown;
    for (char c : text)
        if (put(c))
            shown += c;
    if (m_out && m_interactive) {
        // After the user's Enter the terminal stands at the start of a new line already.
        if (m_terminalAtLineStart && !shown.empty() && shown.front() == '\n')
            shown.erase(0, 1);
        if (!shown.empty())
            m_terminalAtLineStart = false;
        std::fwrite(shown.data(), 1, shown.size(), m_out);
        std::fflush(m_out);
    }
    notify();
}

void CommandLine::notify() {
    if (m_listener)
        m_listener->currentLineChanged(m_line);
}

void CommandLine::prompt(const std::string& text) {
    if (!m_line.empty())
        print("\n");
    print(text);
}

void CommandLine::echoInput(const std::string& text) {
    // On a terminal the user's own typing is already on the screen.
    if (m_out && m_interactive) {
        for (char c : text)
            put(c);
        m_terminalAtLineStart = true;
        notify();
    } else {
        print(text);
    }
    m_afterAnswer = true;
}

void CommandLine::printBlock(const std::string& lines) {
    finishLine();
    std::string text = lines;
    if (text.empty() || text.back() != '\n')
        text += '\n';
    print(text);
    m_afterBlock = true;
}

void CommandLine::dropPrompt(const std::string& prompt) {
    if (m_line == prompt && m_reported.empty()) {
        m_line.clear();
        m_cursor = 0;
        if (m_out && m_interactive)
            std::fputs("\n", m_out);
        notify();
    }
}

void CommandLine::finishLine() {
    if (!m_line.empty())
        print("\n");
}

std::string CommandLine::takeLog() {
    std::string result = std::move(m_log);
    m_log.clear();
    if (m_line.size() > m_reported.size() &&
        m_line.compare(0, m_reported.size(), m_reported) == 0) {
        result += m_line.substr(m_reported.size());
        m_reported = m_line;
    }
    return result;
}

} // namespace cadhost::editor
