// Symbol names.
#include "db/symbolname.h"

#include <cstring>

namespace cadhost::db {

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool IsValidSymbolName(const char* name, bool allowLeadingStar) {
    if (!name || !*name)
        return false;
    std::size_t len = std::strlen(name);
    if (len > kMaxSymbolNameLength)
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7f)
            return false;
        if (c == '*' && i == 0 && allowLeadingStar && len > 1)
            continue;
        switch (c) { // the characters names may not hold (symbol names are asked for often)
        case '<':
        case '>':
        case '/':
        case '\\':
        case '"':
        case ':':
        case ';':
        case '?':
        case '*':
        case '|':
        case ',':
        case '=':
        case '`':
            return false;
        default:
            break;
        }
    }
    return true;
}

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = Upper(c);
    return folded;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

} // namespace cadhost::db
