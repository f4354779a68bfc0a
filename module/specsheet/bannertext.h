// Texts put together for the dialogs' Rich Text banners and documents.
#pragma once

#include <cstdio>
#include <string>

// A format with its one value ("%s" with a C string, "%d" with an int) in its place.
template <typename Value> std::string FormatWithValue(const char* format, Value value) {
    int needed = std::snprintf(nullptr, 0, format, value);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, format, value);
    return out;
}

inline std::string FormatWithName(const char* format, const std::string& name) {
    return FormatWithValue(format, name.c_str());
}

// Text shown as text inside a Rich Text document: its own backslashes and braces would read as
// control words and groups.
inline std::string EscapeForRtf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}
