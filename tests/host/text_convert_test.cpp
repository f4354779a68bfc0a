// The entry points: Rich Text or other bytes in, content out, for any input.
#include "text/rtfconvert.h"
#include "text_mtext_check.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using cadhost::text::FindRtfStart;
using cadhost::text::RtfToMText;
using cadhost::text::RtfToPlainText;
using namespace std::string_literals;

TEST(TextRtfConvert, TextFilesBecomeParagraphs) {
    EXPECT_EQ(RtfToMText("first line\r\nsecond {x}\n\nthird\n"),
              "{\\fArial|b0|i0|c0|p34;\\H1x;first line\\Psecond \\{x\\}\\P\\Pthird}");
    // UTF-8 with or without a byte order mark, UTF-16 by its mark, Windows-1252 otherwise.
    EXPECT_EQ(RtfToPlainText("\xEF\xBB\xBF"
                             "caf\xC3\xA9"),
              "caf\xC3\xA9");
    EXPECT_EQ(RtfToPlainText(std::string("\xFF\xFE"
                                         "a\0\xE9\0\r\0\n\0b\0",
                                         12)),
              "a\xC3\xA9\nb");
    EXPECT_EQ(RtfToPlainText(std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8)), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(RtfToPlainText("caf\xE9 \x93q\x94"), "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_EQ(RtfToPlainText("old\rmac"), "old\nmac");
    // A control word that is not in a Rich Text document is just text.
    EXPECT_EQ(RtfToMText("\\foobar"), "{\\fArial|b0|i0|c0|p34;\\H1x;\\\\foobar}");
    EXPECT_EQ(RtfToMText(""), "");
}

// The text as little-endian UTF-16 bytes, without a byte order mark.
std::string Utf16(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text)
        out += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return out;
}

TEST(TextRtfConvert, Utf16AndUtf8RichTextAndTextAreReadAsTheirText) {
    // UTF-16 text without its mark, with characters beyond Latin.
    EXPECT_EQ(RtfToPlainText(Utf16(u"It\u2019s dry\r\nat 20\u00B0C")),
              "It\xE2\x80\x99s dry\nat 20\xC2\xB0"
              "C");
    // Rich Text in UTF-16, with the mark and without; its literal characters are Unicode.
    EXPECT_EQ(RtfToPlainText("\xFF\xFE" + Utf16(u"{\\rtf1\\ansi caf\\'e9 \u2019q\u2019\\par}")),
              "caf\xC3\xA9 \xE2\x80\x99q\xE2\x80\x99");
    EXPECT_EQ(RtfToMText(Utf16(u"{\\rtf1 {\\b bold} plain}")),
              RtfToMText("{\\rtf1 {\\b bold} plain}"));
    // Rich Text behind UTF-8's mark has its literal characters in UTF-8.
    EXPECT_EQ(RtfToPlainText("\xEF\xBB\xBF{\\rtf1\\ansi caf\xC3\xA9 \\'e9}"),
              "caf\xC3\xA9 \xC3\xA9");
    // A NUL byte holds no text and ends none.
    EXPECT_EQ(RtfToPlainText("{\\rtf1 before\0 after\\par next}"s), "before after\nnext");
    EXPECT_EQ(RtfToMText("one\0two"s).find('\0'), std::string::npos);
}

TEST(TextRtfConvert, RichTextIsFoundBehindAFewStrayBytes) {
    EXPECT_EQ(FindRtfStart("{\\rtf1 x}"), 0u);
    EXPECT_EQ(FindRtfStart("\xEF\xBB\xBF{\\rtf1 x}"), 3u);
    EXPECT_EQ(FindRtfStart("/{\\rtf1 x}"), 1u);
    EXPECT_EQ(FindRtfStart("  \r\n{\\rtf1 x}"), 4u);
    EXPECT_EQ(FindRtfStart("A letter that quotes {\\rtf1 later on"), std::string::npos);
    EXPECT_EQ(FindRtfStart("{\\rt"), std::string::npos);
    EXPECT_EQ(RtfToPlainText("/{\\rtf1 Hello}"), "Hello");
}

TEST(TextRtfConvert, DamagedAndHostileInputGivesWellFormedContent) {
    std::mt19937 random(20240607);
    std::vector<std::string> inputs = {
        "{\\rtf1",
        "{\\rtf1 }}}}}}",
        "{\\rtf1 {{{{{",
        "{\\rtf1 \\",
        "{\\rtf1 \\'",
        "{\\rtf1 \\u",
        "{\\rtf1 \\bin",
        "{\\rtf1 \\*",
        "{\\rtf1 {\\fonttbl{\\f0",
        "{\\rtf1 {\\colortbl\\red",
        "{\\rtf1 \\cf99999 \\f-5 \\fs-10 x\\cell\\row\\nestrow\\par",
        "{\\rtf1 \\s999\\cs-1 x",
        "{\\rtf1\\ansicpg999999{\\fonttbl{\\f0\\fcharset128 a;}}\\'82}"};
    for (int i = 0; i < 200; ++i) {
        // Fragments of Rich Text syntax in random order, and random bytes.
        static const char* pieces[] = {"{",          "}",        "\\",      "\\par ",
                                       "\\'8",       "\\u-1",    "\\bin2 ", "\\*",
                                       "\\fonttbl",  "\\cell",   "\\row",   "\\tx99",
                                       "\\footnote", "\\chftn",  "\\upr",   "\\ud",
                                       "a",          "\xFF",     "\\field", "\\fldinst SYMBOL 65",
                                       "\\pn",       "\\nestrow"};
        std::string input = "{\\rtf1 ";
        for (int n = 0; n < 200; ++n)
            input += pieces[random() % std::size(pieces)];
        inputs.push_back(input);
        std::string bytes(300, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        inputs.push_back("{\\rtf1 " + bytes);
    }
    for (const auto& input : inputs) {
        auto reading = text_test::ReadMText(RtfToMText(input));
        EXPECT_TRUE(reading.wellFormed) << reading.error << " for " << input.substr(0, 80);
    }
}

TEST(TextRtfConvert, LargeInputIsReadInFull) {
    // 50 MB of paragraphs: the text all arrives, in linear time and memory.
    std::string paragraph =
        "{\\b Bold} and \\'e9 " + std::string(2000, 'x') + " \\u8212? more\\par\n";
    std::string rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < 50u * 1024 * 1024)
        rtf += paragraph;
    rtf += "}";
    std::string content = RtfToMText(rtf);
    std::size_t count = 0;
    for (std::size_t at = content.find("\\P"); at != std::string::npos;
         at = content.find("\\P", at + 2))
        ++count;
    std::size_t paragraphs = (rtf.size() - 13) / paragraph.size();
    EXPECT_EQ(count + 1, paragraphs);
    EXPECT_TRUE(content.ends_with("\xE2\x80\x94 more}"));
}

} // namespace
