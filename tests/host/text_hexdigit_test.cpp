// Hexadecimal digits as handles, Rich Text escapes, registry hives and encoded URLs write them.
#include "text/hexdigit.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using cadhost::text::HexDigit;

TEST(HexDigit, ReadsDigitsAndLettersOfEitherCase) {
    const std::string digits = "0123456789abcdef";
    for (int value = 0; value < 16; ++value) {
        char lower = digits[static_cast<std::size_t>(value)];
        EXPECT_EQ(HexDigit(lower), value) << lower;
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(lower)));
        EXPECT_EQ(HexDigit(upper), value) << upper;
    }
}

TEST(HexDigit, RefusesTheNeighboursOfTheDigitRanges) {
    for (char c : std::string("/:@G`g xX-\0", 11))
        EXPECT_EQ(HexDigit(c), -1) << int(c);
    EXPECT_EQ(HexDigit(static_cast<char>(0xC3)), -1) << "a byte of a multi-byte character";
}
