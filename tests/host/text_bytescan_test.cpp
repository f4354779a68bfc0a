// Finding bytes of a few kinds many at a time gives what a byte-by-byte search gives.
#include "text/bytescan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

using cadhost::text::FindAnyOf;
using cadhost::text::FindNotPrintableAscii;

std::size_t SlowFindBrace(std::string_view text, std::size_t from) {
    while (from < text.size() && text[from] != '{' && text[from] != '}' && text[from] != '\\')
        ++from;
    return from;
}

std::size_t SlowFindNotPrintable(std::string_view text, std::size_t from) {
    while (from < text.size() && static_cast<unsigned char>(text[from]) >= 0x20 &&
           static_cast<unsigned char>(text[from]) < 0x7F)
        ++from;
    return from;
}

TEST(TextByteScan, FindsTheFirstOfTheBytesAtEveryPlace) {
    // Texts of every length around the width of a step, with the byte to find at every
    // position, and searches from every position.
    for (std::size_t length = 0; length < 70; ++length)
        for (std::size_t at = 0; at <= length; ++at) {
            std::string text(length, 'a');
            if (at < length)
                text[at] = "{}\\"[at % 3];
            for (std::size_t from = 0; from <= length; ++from) {
                std::size_t expected = from <= at ? at : length;
                ASSERT_EQ((FindAnyOf<'{', '}', '\\'>(text, from)), expected)
                    << "length " << length << ", byte at " << at << ", from " << from;
            }
        }
}

TEST(TextByteScan, AgreesWithAByteByByteSearchOnRandomText) {
    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 100, ' ');
        // Mostly plain letters, with every byte value now and then.
        for (char& c : text)
            c = random() % 8 == 0 ? static_cast<char>(random() & 0xFF)
                                  : static_cast<char>('a' + random() % 26);
        // A view that starts inside a longer text reads none of the bytes before it.
        std::string_view view = text;
        view.remove_prefix(std::min<std::size_t>(random() % 3, view.size()));
        for (std::size_t from = 0; from <= view.size(); from += 1 + random() % 5) {
            ASSERT_EQ((FindAnyOf<'{', '}', '\\'>(view, from)), SlowFindBrace(view, from)) << view;
            ASSERT_EQ(FindNotPrintableAscii(view, from), SlowFindNotPrintable(view, from)) << view;
        }
    }
}

TEST(TextByteScan, TellsPrintableAsciiFromTheRest) {
    std::string printable;
    for (int c = 0x20; c < 0x7F; ++c)
        printable += static_cast<char>(c);
    EXPECT_EQ(FindNotPrintableAscii(printable, 0), printable.size());
    for (int c : {0x00, 0x09, 0x0A, 0x1F, 0x7F, 0x80, 0xA0, 0xE9, 0xFF}) {
        std::string text = printable + static_cast<char>(c) + printable;
        EXPECT_EQ(FindNotPrintableAscii(text, 0), printable.size()) << c;
        EXPECT_EQ(FindNotPrintableAscii(text, printable.size() + 1), text.size()) << c;
    }
    EXPECT_EQ((FindAnyOf<'\r', '\n'>("line one\r\nline two", 0)), 8u);
    EXPECT_EQ((FindAnyOf<'\r', '\n'>("line one\r\nline two", 9)), 9u);
    EXPECT_EQ((FindAnyOf<'\r', '\n'>("line one\r\nline two", 10)), 18u);
}

} // namespace
