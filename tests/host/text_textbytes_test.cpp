// Which bytes are text, in which encoding, and the same text without NUL bytes.
#include "text/textbytes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace cadhost::text;
using namespace std::string_literals;

// The text as UTF-16 bytes, with or without its byte order mark.
std::string Utf16(const std::u16string& text, bool little, bool mark) {
    std::string out;
    for (char16_t unit : mark ? u"\uFEFF" + text : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        out += little ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

const std::u16string kLetter = u"Dear Sir,\r\nthe walls are painted twice.\r\n";

TEST(TextBytes, Utf16IsRecognisedWithOrWithoutItsMark) {
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, true)), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, false, true)), TextEncoding::Utf16BE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, false)), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, false, false)), TextEncoding::Utf16BE);
    EXPECT_EQ(DetectTextEncoding(Utf16(u"It\u2019s 20\u00B0C \u2013 dry\u2026", true, false)),
              TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding("before\0after"s), TextEncoding::Narrow);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, false) + "x"), TextEncoding::Narrow);
    EXPECT_FALSE(IsBinaryData(Utf16(kLetter, true, false)));
    EXPECT_FALSE(IsBinaryData("before\0after"s));
    EXPECT_FALSE(IsBinaryData("caf\xE9 \x93quoted\x94\r\n\f"));
}

TEST(TextBytes, BinaryDataIsNeitherUtf16NorText) {
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>(random() & 0xFF);
    // Small 16-bit numbers have the zero bytes of UTF-16, but as characters they are controls.
    std::string numbers;
    for (int i = 0; i < 300; ++i)
        numbers += std::string{static_cast<char>(1 + i % 9), '\0'};
    std::string nulHeavy;
    for (int i = 0; i < 40; ++i)
        nulHeavy += "ab\0\0"s;
    for (const std::string& bytes : {noise, numbers, nulHeavy}) {
        EXPECT_EQ(DetectTextEncoding(bytes), TextEncoding::Narrow);
        EXPECT_TRUE(IsBinaryData(bytes));
    }
    EXPECT_TRUE(IsBinaryData("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 a Word document"));
    EXPECT_TRUE(IsBinaryData("PK\x03\x04word/document.xml"));
    EXPECT_TRUE(IsBinaryData("%PDF-1.4\n%text after"));
}

TEST(TextBytes, TextKeepsAllItsCharactersAndLosesItsNulBytes) {
    EXPECT_EQ(TextBytesWithoutNul("before\0after"s), "beforeafter");
    EXPECT_EQ(TextBytesWithoutNul("caf\xE9"), "caf\xE9") << "narrow bytes stay for the reader";
    EXPECT_EQ(TextBytesWithoutNul(Utf16(u"one\0two"s, false, false)), "onetwo");
    // Beyond ASCII, UTF-8's mark says how the bytes are to be read.
    EXPECT_EQ(TextBytesWithoutNul(Utf16(u"20\u00B0C \U0001F600", true, true)),
              "\xEF\xBB\xBF"
              "20\xC2\xB0"
              "C \xF0\x9F\x98\x80");
    EXPECT_EQ(TextToUtf8(Utf16(u"caf\u00E9\0!"s, false, true)), "caf\xC3\xA9!");
    EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF"
                         "caf\xC3\xA9"),
              "caf\xC3\xA9");
    EXPECT_EQ(TextToUtf8("caf\xE9\0 \x93q\x94"s), "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
}

} // namespace
