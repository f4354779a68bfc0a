// UTF-8, the encoding of every narrow string inside the host.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cadhost::text {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Appends one Unicode scalar value; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// Reads the character at `pos` and advances past it.  Ill-formed sequences read as U+FFFD
// and advance by one byte, so a reader always makes progress.
char32_t NextUtf8(std::string_view text, std::size_t& pos);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The number of characters in well-formed UTF-8 text (continuation bytes are not counted).
std::size_t CountUtf8Chars(std::string_view text);

} // namespace cadhost::text
