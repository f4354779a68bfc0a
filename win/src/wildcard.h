// Matching of file names against the "*" and "?" patterns of directory searches.
#pragma once

#include <string_view>

namespace win::detail {

// True when the pattern contains "*" or "?".
bool HasWildcards(std::string_view text);

// Windows search matching: "*" is any run of characters, "?" one character, ASCII letters
// match without regard to case.  "*.*" matches every name, and a pattern ending in "." also
// matches names that have no dot (so "*." lists the names without an extension).
bool MatchesPattern(std::string_view pattern, std::string_view name);

} // namespace win::detail
