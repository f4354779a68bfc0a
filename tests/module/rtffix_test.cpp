// The tab stop added to hanging-indent paragraphs before Rich Text is converted.
#include "wordconv/rtffix.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Fixed(std::string rtf) {
    FixHangingIndents(rtf);
    return rtf;
}

} // namespace

TEST(FixHangingIndents, AHangingParagraphGetsATabStopAtItsLeftIndent) {
    EXPECT_EQ(Fixed(R"(\pard\fi-360\li720 Item)"), R"(\pard\fi-360\li720\tx720 Item)");
    // The control words may run on to the blank; the stop goes right after the indent.
    EXPECT_EQ(Fixed(R"(\fi-360\li720\b Item)"), R"(\fi-360\li720\tx720\b Item)");
    // At the very end of the string.
    EXPECT_EQ(Fixed(R"({\pard\fi-1440\li1440)"), R"({\pard\fi-1440\li1440\tx1440)");
    // Leading zeros are not kept; a value longer than any integer is copied whole.
    EXPECT_EQ(Fixed(R"(\fi-360\li0720 x)"), R"(\fi-360\li0720\tx720 x)");
    EXPECT_EQ(Fixed(R"(\fi-1\li123456789012345678901 x)"),
              R"(\fi-1\li123456789012345678901\tx123456789012345678901 x)");
}

TEST(FixHangingIndents, EveryHangingParagraphGetsItsOwnStop) {
    std::string rtf = "{\\rtf1\\pard\\fi-360\\li360 1.\\tab One\\par\n"
                      "\\pard\\fi-720\\li1080\\sa120 a.\\tab Two\\par\n"
                      "\\pard\\fi-360\\li360\\tx360 2.\\tab Three\\par}";
    EXPECT_EQ(Fixed(rtf), "{\\rtf1\\pard\\fi-360\\li360\\tx360 1.\\tab One\\par\n"
                          "\\pard\\fi-720\\li1080\\tx1080\\sa120 a.\\tab Two\\par\n"
                          "\\pard\\fi-360\\li360\\tx360 2.\\tab Three\\par}");
}

TEST(FixHangingIndents, ParagraphsThatNeedNoStopAreLeftAlone) {
    for (const char* kept : {
             R"(\pard\fi-360\li720\tx720 Item)", // a stop already
             R"(\fi-360\li720\tx1440\b Item)",   // any stop before the blank counts
             R"(\pard\fi360\li720 Item)",        // not hanging
             R"(\fi-360\ri0\li720 Item)",        // the left indent does not follow directly
             R"(\fi-\li720 Item)",               // no first-line value
             R"(\fi-360\li Item)",               // no left-indent value
             R"(\fi-360\lin720 Item)",           // another control word
             R"(\\fi-360\li720 Item)",           // an escaped backslash: text
             R"(\fi-360)",                       // the string ends
             "",
         }) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(Fixed(kept), kept);
    }
}

TEST(FixHangingIndents, TheSearchForAStopEndsAtTheBlank) {
    // The stop after the blank belongs to the text, not to this paragraph's control words.
    EXPECT_EQ(Fixed(R"(\fi-360\li720 see \tx720)"), R"(\fi-360\li720\tx720 see \tx720)");
    // An escaped backslash before a real control word leaves the word a control word.
    EXPECT_EQ(Fixed(R"(a\\\fi-360\li720 b)"), R"(a\\\fi-360\li720\tx720 b)");
}
