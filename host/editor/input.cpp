#include "editor/input.h"

#include <algorithm>
#include <utility>

namespace cadhost::editor {

namespace {

bool IsComment(const std::string& line) {
    return !line.empty() && line[0] == ';';
}

} // namespace

std::deque<InputItem> SplitTypedText(const std::string& text, bool echo) {
    std::deque<InputItem> items;
    std::string current;
    bool pending = false; // characters typed since the last Enter
    auto enter = [&] {
        items.push_back({InputItem::Text, current, echo, true});
        current.clear();
        pending = false;
    };
    for (char c : text) {
        if (c == '\x03') {
            current.clear();
            pending = false;
            items.push_back({InputItem::Cancel, "", echo, true});
        } else if (c == ' ' || c == '\n' || c == '\r') {
            enter();
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending)
        enter();
    return items;
}

bool IsCancelLine(const std::string& line) {
    return line == "*Cancel*" || line == "^C" || line == "\x1b" || line == "\x03";
}

InputItem ScriptLineToItem(const std::string& rawLine) {
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    if (IsCancelLine(line))
        return {InputItem::Cancel, "", true, false};
    return {InputItem::Text, line, true, false};
}

void ScriptInput::feed(const std::string& lines) {
    // A byte order mark that an editor put before the first line is no part of it.
    std::size_t start = lines.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string::npos) {
            if (start < lines.size())
                m_lines.push_back(lines.substr(start));
            break;
        }
        std::string line = lines.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

void ScriptInput::skipComments() {
    while (!m_lines.empty() && IsComment(m_lines.front()))
        m_lines.pop_front();
    if (!m_lines.empty() && m_stopCheck && m_stopCheck()) {
        m_stoppedWith = static_cast<std::size_t>(
            std::count_if(m_lines.begin(), m_lines.end(), [](auto& l) { return !IsComment(l); }));
        m_lines.clear();
    }
}

std::optional<std::size_t> ScriptInput::takeStop() {
    return std::exchange(m_stoppedWith, std::nullopt);
}

std::optional<std::string> ScriptInput::peek() {
    skipComments();
    if (m_lines.empty())
        return std::nullopt;
    return m_lines.front();
}

std::optional<std::string> ScriptInput::take() {
    skipComments();
    if (m_lines.empty())
        return std::nullopt;
    if (m_pacer) {
        // The pause runs the window's events, which may end the input meanwhile.
        m_pacer();
        skipComments();
        if (m_lines.empty())
            return std::nullopt;
    }
    std::string line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
}

bool ScriptInput::empty() {
    skipComments();
    return m_lines.empty();
}

} // namespace cadhost::editor
