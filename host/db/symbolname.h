// Names of symbols and dictionary keys: validity and comparison without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace cadhost::db {

// The longest symbol name, in bytes.
inline constexpr std::size_t kMaxSymbolNameLength = 255;

// A name is valid when it is not empty, not longer than the limit, and holds none of
// < > / \ " : ; ? * | , = ` nor control characters.  Block names may begin with "*".
bool IsValidSymbolName(const char* name, bool allowLeadingStar = false);

// The form names are compared in: ASCII letters in upper case, other bytes as they are
// (letter case of other scripts is not folded).
std::string FoldCase(std::string_view name);
bool EqualNoCase(std::string_view a, std::string_view b);

} // namespace cadhost::db
