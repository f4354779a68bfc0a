// The byte-to-Unicode tables behind the code page decoder (generated into
// codepagetables.cpp by gen_codepage_tables.py).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace cadhost::text::detail {

// A table value for a byte that no character of the code page uses.
inline constexpr char16_t kUndefinedChar = 0xFFFD;
// A table value for a byte that starts a two-byte character.
inline constexpr char16_t kLeadByte = 0xFFFF;

// Bytes below 0x80 are ASCII in every code page listed here; `high` maps 0x80..0xFF.
struct SingleByteCodePage {
    int number;
    const char16_t* high;
};

// `high` maps the single bytes 0x80..0xFF (kLeadByte marks lead bytes); `pairs` holds the
// two-byte characters row by row, lead bytes leadLo..leadHi by trail bytes trailLo..trailHi,
// with 0 where the pair is undefined.
struct DoubleByteCodePage {
    int number;
    const char16_t* high;
    const char16_t* pairs;
    std::uint8_t leadLo, leadHi, trailLo, trailHi;
};

extern const SingleByteCodePage kSingleByteCodePages[];
extern const std::size_t kSingleByteCodePageCount;
extern const DoubleByteCodePage kDoubleByteCodePages[];
extern const std::size_t kDoubleByteCodePageCount;

} // namespace cadhost::text::detail
