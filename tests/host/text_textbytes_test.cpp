// Which bytes are text, in which encoding, and the same text without NUL bytes.
#include "text/textbytes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using cadhost::text::DetectTextEncoding;
using cadhost::text::IsBinaryData;
using cadhost::text::TextBytesWithoutNul;
using cadhost::text::TextEncoding;
using namespace std::string_literals;

// The text as UTF-16 bytes, with or without its byte order mark.
std::string Utf16(const std::u16string& text, bool little, bool mark) {
    std::string out;
    std::u16string units = mark ? u"\uFEFF" + text : text;
    for (char16_t unit : units) {
        char low = static_cast<char>(unit & 0xFF);
        char high = static_cast<char>(unit >> 8);
        out += little ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

std::string RandomBytes(std::size_t count) {
    std::mt19937 random(7);
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += static_cast<char>(random() & 0xFF);
    return out;
}

const std::u16string kLetter = u"Dear Sir,\r\nthe walls are painted twice.\r\n";

TEST(TextBytes, Utf16IsRecognisedWithOrWithoutItsMark) {
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, true)), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, false, true)), TextEncoding::Utf16BE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, false)), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, false, false)), TextEncoding::Utf16BE);
    // A few characters beyond Latin do not hide it.
    EXPECT_EQ(DetectTextEncoding(Utf16(u"It\u2019s 20\u00B0C \u2013 dry\u2026", true, false)),
              TextEncoding::Utf16LE);

    EXPECT_EQ(DetectTextEncoding(std::string("before\0after", 12)), TextEncoding::Narrow);
    EXPECT_EQ(DetectTextEncoding("plain text"), TextEncoding::Narrow);
    EXPECT_EQ(DetectTextEncoding(""), TextEncoding::Narrow);
    // An odd count of bytes is no UTF-16 without its mark.
    EXPECT_EQ(DetectTextEncoding(Utf16(kLetter, true, false) + "x"), TextEncoding::Narrow);
}

TEST(TextBytes, BinaryDataIsNeitherUtf16NorText) {
    std::string random = RandomBytes(4096);
    EXPECT_EQ(DetectTextEncoding(random), TextEncoding::Narrow);
    EXPECT_TRUE(IsBinaryData(random));

    // Small 16-bit numbers have the zero bytes of UTF-16, but as characters they are controls.
    std::string numbers;
    for (int i = 0; i < 300; ++i)
        numbers += std::string{static_cast<char>(1 + i % 9), '\0'};
    EXPECT_EQ(DetectTextEncoding(numbers), TextEncoding::Narrow);
    EXPECT_TRUE(IsBinaryData(numbers));

    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    EXPECT_TRUE(IsBinaryData(compound + "Word text that looks harmless"));
    EXPECT_TRUE(IsBinaryData(std::string("PK\x03\x04", 4) + "word/document.xml"));
    EXPECT_TRUE(IsBinaryData("%PDF-1.4\n%text after"));
    std::string nulHeavy;
    for (int i = 0; i < 40; ++i)
        nulHeavy += std::string("ab\0\0", 4);
    EXPECT_TRUE(IsBinaryData(nulHeavy));
}

TEST(TextBytes, TextWithAFewNulBytesOrInUtf16IsText) {
    EXPECT_FALSE(IsBinaryData(std::string("before\0after", 12)));
    EXPECT_FALSE(IsBinaryData("caf\xE9 \x93quoted\x94\r\n\f"));
    EXPECT_FALSE(IsBinaryData(Utf16(kLetter, true, false)));
    EXPECT_FALSE(IsBinaryData(Utf16(kLetter, false, true)));
    EXPECT_FALSE(IsBinaryData(""));
}

TEST(TextBytes, TextWithoutNulKeepsAllTheText) {
    EXPECT_EQ(TextBytesWithoutNul(std::string("before\0after", 12)), "beforeafter");
    EXPECT_EQ(TextBytesWithoutNul("caf\xE9"), "caf\xE9") << "narrow bytes stay for the reader";
    EXPECT_EQ(TextBytesWithoutNul(Utf16(u"one\0two"s, true, true)), "onetwo");
    EXPECT_EQ(TextBytesWithoutNul(Utf16(kLetter, false, false)),
              "Dear Sir,\r\nthe walls are painted twice.\r\n");
    // Beyond ASCII, UTF-8's mark says how the bytes are to be read.
    EXPECT_EQ(TextBytesWithoutNul(Utf16(u"20\u00B0C \u2013 \U0001F600", true, false)),
              "\xEF\xBB\xBF"
              "20\xC2\xB0"
              "C \xE2\x80\x93 \xF0\x9F\x98\x80");
}

} // namespace
