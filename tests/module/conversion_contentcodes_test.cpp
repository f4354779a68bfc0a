// Leading paragraph breaks at column tops, and the paragraph indents in force at a cut.
#include "conversion/contentcodes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string WithoutLeadingBreaks(std::string content) {
    RemoveLeadingBreaks(content);
    return content;
}

// The content with every paragraph break taken out, escaped backslashes read as text.
std::string WithoutBreaks(const std::string& content) {
    std::string out;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\\' && i + 1 < content.size()) {
            if (content[i + 1] != 'P')
                out += content.substr(i, 2);
            ++i;
            continue;
        }
        out += content[i];
    }
    return out;
}

struct Indents {
    std::string first = "first";
    std::string tabs = "tabs";
    std::string left = "left";
};

Indents AtEnd(const std::string& content, Indents in = {}) {
    ParagraphCodesAtEnd(content, in.first, in.tabs, in.left);
    return in;
}

} // namespace

TEST(RemoveLeadingBreaks, BreaksBeforeTheFirstVisibleCharacterGo) {
    EXPECT_EQ(WithoutLeadingBreaks(R"({\P\P\fArial;\H0.2;\PText\Pmore})"),
              R"({\fArial;\H0.2;Text\Pmore})");
    EXPECT_EQ(WithoutLeadingBreaks(R"({{\P}\P{\PText}})"), R"({{}{Text}})");
    // Breaks after the text are the text's own.
    EXPECT_EQ(WithoutLeadingBreaks(R"(Text\P\P)"), R"(Text\P\P)");
}

TEST(RemoveLeadingBreaks, AfterAFinishedCodeOnlyOneBreakGoes) {
    EXPECT_EQ(WithoutLeadingBreaks(R"(\fA;\P\PText)"), R"(\fA;\PText)");
    EXPECT_EQ(WithoutLeadingBreaks(R"(\H0.2;\P\PText)"), R"(\H0.2;\PText)");
    EXPECT_EQ(WithoutLeadingBreaks(R"(\pi0;\P\PText)"), R"(\pi0;\PText)");
    EXPECT_EQ(WithoutLeadingBreaks(R"({\pi-1,l1;\P{\PText}})"), R"({\pi-1,l1;{\PText}})");
}

TEST(RemoveLeadingBreaks, AtTheStartEveryBreakGoes) {
    EXPECT_EQ(WithoutLeadingBreaks(R"(\P\P\PText\P)"), R"(Text\P)");
    EXPECT_EQ(WithoutLeadingBreaks(R"(\P\P)"), "");
    EXPECT_EQ(WithoutLeadingBreaks(R"(\P\fA;\P\PText)"), R"(\fA;\PText)");
}

TEST(RemoveLeadingBreaks, OtherCodesAndEscapedCharactersEndTheRemoval) {
    for (const char* kept : {R"(\L\PText)", R"(\C1;\PText)", R"(\~\PText)", R"(\\\PText)",
                             R"({\{\PText)", R"(\}\P)"}) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(WithoutLeadingBreaks(kept), kept);
    }
    // A path at the top of a column loses nothing.
    EXPECT_EQ(WithoutLeadingBreaks(R"(\\Program Files)"), R"(\\Program Files)");
    EXPECT_EQ(WithoutLeadingBreaks(""), "");
}

TEST(RemoveLeadingBreaks, TakesOutNothingButParagraphBreaks) {
    const std::vector<std::string> tokens = {
        R"(\P)", R"(\fArial|b0;)", R"(\H0.2;)", R"(\pi-1,l1;)", "{", "}", "x", R"(\\)",
        R"(\{)", R"(\L)",          ";",         "\\",           "P"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        for (int n = 0; n < 12; ++n)
            content += tokens[pick(random)];
        SCOPED_TRACE(content);
        std::string result = WithoutLeadingBreaks(content);
        ASSERT_EQ(WithoutBreaks(result), WithoutBreaks(content));
        ASSERT_LE(result.size(), content.size());
    }
}

TEST(ParagraphCodesAtEnd, LaterCodesOverrideEarlierOnesLetterByLetter) {
    Indents hanging = AtEnd(R"(text\pi-2,l2,t2;)");
    EXPECT_EQ(hanging.first, R"(\pi-2)");
    EXPECT_EQ(hanging.left, R"(\pl2)");
    EXPECT_EQ(hanging.tabs, R"(\pt2)");

    Indents later = AtEnd(R"(\pi-1,l1;a\P\pi0;b)");
    EXPECT_EQ(later.first, R"(\pi0)");
    EXPECT_EQ(later.left, R"(\pl1)");
    EXPECT_EQ(later.tabs, "tabs");
}

TEST(ParagraphCodesAtEnd, CodesJoinedWithoutCommasReadLetterByLetter) {
    // The form a continued column carries must read back as it was written, column after
    // column, without growing.
    Indents joined = AtEnd(R"({\pi-1\pt2\pl1;Text)");
    EXPECT_EQ(joined.first, R"(\pi-1)");
    EXPECT_EQ(joined.tabs, R"(\pt2)");
    EXPECT_EQ(joined.left, R"(\pl1)");
    Indents again = AtEnd(joined.first + joined.tabs + joined.left + ";more");
    EXPECT_EQ(again.first, joined.first);
    EXPECT_EQ(again.tabs, joined.tabs);
    EXPECT_EQ(again.left, joined.left);
}

TEST(ParagraphCodesAtEnd, WhatNoCodeSetsKeepsTheCallersValue) {
    Indents none = AtEnd(R"(\PNo codes\P\fA;\H1;here)");
    EXPECT_EQ(none.first, "first");
    EXPECT_EQ(none.tabs, "tabs");
    EXPECT_EQ(none.left, "left");

    // A letter without a value clears its string; letters of other codes are not indents.
    Indents cleared = AtEnd(R"(\pi-1,l1,t1;a\pi0,l0,t;b)");
    EXPECT_EQ(cleared.first, R"(\pi0)");
    EXPECT_EQ(cleared.left, R"(\pl0)");
    EXPECT_EQ(cleared.tabs, "");
    EXPECT_EQ(AtEnd(R"(\pxqc,r3;)").first, "first");

    // Values from a call before are replaced, not added to.
    Indents carried;
    carried.first = R"(\pi-5)";
    EXPECT_EQ(AtEnd(R"(\pi-3;)", carried).first, R"(\pi-3)");
}

TEST(ParagraphCodesAtEnd, UnterminatedCodesAndEscapesAreReadSafely) {
    EXPECT_EQ(AtEnd(R"(a\pi-1.5,l1.5)").left, R"(\pl1.5)");
    EXPECT_EQ(AtEnd(R"(a\p)").first, "first");
    // "\\pi1" is a backslash of the text followed by "pi1".
    EXPECT_EQ(AtEnd(R"(C:\\pi1;)").first, "first");
    EXPECT_EQ(AtEnd(R"(C:\\\pi1;)").first, R"(\pi1)");
}
