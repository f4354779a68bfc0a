// The escaped characters of MText content.
#pragma once

#include <cstddef>
#include <string>

// Whether content[i] starts an escaped character: "\\", "\{" or "\}" stand for a backslash or a
// brace of the text itself.  They are two characters of visible text, never a code or a group,
// so the walks over content step over them whole: a file path such as "C:\\Program Files" must
// not be read as a paragraph break, nor a braced note in the text as a group.
inline bool IsEscapedCharacter(const std::string& content, std::size_t i);

// Text as MText content that shows it as it is: its backslashes and braces escaped.
inline std::string EscapeForMText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

inline bool IsEscapedCharacter(const std::string& content, std::size_t i) {
    if (content[i] != '\\' || i + 1 >= content.size())
        return false;
    char next = content[i + 1];
    return next == '\\' || next == '{' || next == '}';
}
