// A small, strict MText content reader for the text engine's tests and fuzz target: it
// checks that content is well formed (balanced braces, every code known and terminated)
// and reduces it to plain text.  It is written apart from the writer on purpose, so that
// the two do not share a mistake.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text_test {

struct MTextReading {
    bool wellFormed = true;
    std::string error;   // the first problem found
    std::string plain;   // "\P" as '\n', "\~" as U+00A0, escapes resolved
    int maxDepth = 0;    // deepest brace nesting
    int fontCodes = 0;   // \f codes
    int heightCodes = 0; // \H codes
};

inline MTextReading ReadMText(std::string_view content) {
    MTextReading reading;
    int depth = 0;
    auto fail = [&](std::string why, std::size_t at) {
        if (reading.wellFormed) {
            reading.wellFormed = false;
            reading.error = why + " at offset " + std::to_string(at);
        }
    };
    std::size_t i = 0;
    while (i < content.size()) {
        char c = content[i];
        if (c == '{') {
            ++depth;
            if (depth > reading.maxDepth)
                reading.maxDepth = depth;
            ++i;
            continue;
        }
        if (c == '}') {
            if (--depth < 0)
                fail("unbalanced '}'", i);
            ++i;
            continue;
        }
        if (c != '\\') {
            auto u = static_cast<unsigned char>(c);
            if (u < 0x20 && c != '\t')
                fail("control character in text", i);
            reading.plain.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 >= content.size()) {
            fail("backslash at the end", i);
            break;
        }
        char code = content[i + 1];
        switch (code) {
        case '\\':
        case '{':
        case '}':
            reading.plain.push_back(code);
            i += 2;
            continue;
        case 'P':
            reading.plain.push_back('\n');
            i += 2;
            continue;
        case '~':
            reading.plain += "\xC2\xA0";
            i += 2;
            continue;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k':
            i += 2;
            continue;
        case 'f':
        case 'F':
        case 'H':
        case 'p':
        case 'C':
        case 'c':
        case 'A':
        case 'Q':
        case 'T':
        case 'W': {
            auto end = content.find(';', i + 2);
            auto brace = content.find_first_of("{}\\", i + 2);
            if (end == std::string_view::npos || (brace != std::string_view::npos && brace < end)) {
                fail(std::string("unterminated \\") + code + " code", i);
                i += 2;
                continue;
            }
            if (end == i + 2 && code != 'p')
                fail(std::string("empty \\") + code + " code", i);
            if (code == 'f' || code == 'F')
                ++reading.fontCodes;
            if (code == 'H')
                ++reading.heightCodes;
            i = end + 1;
            continue;
        }
        default:
            fail(std::string("unknown code \\") + code, i);
            i += 2;
            continue;
        }
    }
    if (depth != 0)
        fail("unclosed '{'", content.size());
    return reading;
}

} // namespace text_test
