#include "editor/input.h"

namespace cadhost::editor {

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

InputItem ScriptLineToItem(const std::string& rawLine) {
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    if (line == "*Cancel*" || line == "^C" || line == "\x1b")
        return {InputItem::Cancel, "", true, false};
    return {InputItem::Text, line, true, false};
}

void ScriptInput::feed(const std::string& lines) {
    std::size_t start = 0;
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
    while (!m_lines.empty() && !m_lines.front().empty() && m_lines.front()[0] == ';')
        m_lines.pop_front();
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
    if (m_pacer)
        m_pacer();
    std::string line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
}

bool ScriptInput::empty() {
    skipComments();
    return m_lines.empty();
}

} // namespace cadhost::editor
