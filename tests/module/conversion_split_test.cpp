// Cutting MText content into the pieces, font codes and height codes the layout works with.
#include "conversion/mtextrtf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ToVector(const CStringArray& list) {
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
        items.push_back(list[i]);
    return items;
}

struct Split {
    explicit Split(const std::string& content) : count(item.SplitContents(content)) {}
    std::vector<std::string> Pieces() const { return ToVector(item.m_Pieces); }
    std::vector<std::string> Fonts() const { return ToVector(item.m_FontCodes); }
    std::vector<std::string> Heights() const { return ToVector(item.m_HeightCodes); }
    CMtextRtf item;
    int count;
};

using Strings = std::vector<std::string>;

} // namespace

TEST(SplitContents, PiecesStartAtParagraphBreaksAndFontChanges) {
    Split title(R"(\fArial|b0|i0|c0|p34;Title\PLine two)");
    EXPECT_EQ(title.count, 2);
    EXPECT_EQ(title.Pieces(), (Strings{R"(\fArial|b0|i0|c0|p34;Title)", R"(\PLine two)"}));
    EXPECT_EQ(title.Fonts(), (Strings{R"(\fArial|b0|i0|c0|p34;)"}));
    EXPECT_TRUE(title.Heights().empty());
    EXPECT_EQ(title.item.m_Contents, R"(\fArial|b0|i0|c0|p34;Title\PLine two)");

    // A height change stays with the text it sizes; only the font change cuts.
    Split sized(R"(\H0.2;abc\fTimes;def)");
    EXPECT_EQ(sized.Pieces(), (Strings{R"(\H0.2;abc)", R"(\fTimes;def)"}));
    EXPECT_EQ(sized.Heights(), (Strings{R"(\H0.2;)"}));
    EXPECT_EQ(sized.Fonts(), (Strings{R"(\fTimes;)"}));

    // Breaks right after each other each make a piece of their own.
    EXPECT_EQ(Split(R"(\P\Pa\P)").Pieces(), (Strings{R"(\P)", R"(\Pa)", R"(\P)"}));
}

TEST(SplitContents, CodesOfNestedGroupsAreNeitherCutNorCollected) {
    Split nested(R"({{\fX;\Py}})");
    EXPECT_EQ(nested.Pieces(), (Strings{R"({{\fX;\Py}})"}));
    EXPECT_TRUE(nested.Fonts().empty());

    // With the host's outer group stripped, a group of the text is one level deep: its codes
    // are outer codes, and its font change cuts a piece.
    Split group(R"(a{\fB;\H0.5x;c}\Pd)");
    EXPECT_EQ(group.Pieces(), (Strings{"a{", R"(\fB;\H0.5x;c})", R"(\Pd)"}));
    EXPECT_EQ(group.Fonts(), (Strings{R"(\fB;)"}));
    EXPECT_EQ(group.Heights(), (Strings{R"(\H0.5x;)"}));
    // Left inside the outer group, the same text is nested and stays whole.
    Split unstripped(R"({a{\fB;\H0.5x;c}\Pd})");
    EXPECT_EQ(unstripped.Pieces(), (Strings{R"({a{\fB;\H0.5x;c})", R"(\Pd})"}));
    EXPECT_TRUE(unstripped.Fonts().empty());
    EXPECT_TRUE(unstripped.Heights().empty());

    // After a stray closing brace the depth is below zero, which still counts as outer.
    EXPECT_EQ(Split(R"(}}a\Pb)").Pieces(), (Strings{"}}a", R"(\Pb)"}));
}

TEST(SplitContents, UnterminatedCodesAreNotCollected) {
    Split open(R"(\H0.2;a\fArial)");
    EXPECT_EQ(open.Pieces(), (Strings{R"(\H0.2;a)", R"(\fArial)"}));
    EXPECT_TRUE(open.Fonts().empty());
    EXPECT_EQ(open.Heights(), (Strings{R"(\H0.2;)"}));
    EXPECT_EQ(Split("").count, 0);
    EXPECT_EQ(Split("\\").Pieces(), (Strings{"\\"}));
}

TEST(SplitContents, EscapedBackslashesAndBracesAreText) {
    // "C:\Program Files" as the host writes it: no paragraph break inside the path.
    Split path(R"(See C:\\Program Files\PNext)");
    EXPECT_EQ(path.Pieces(), (Strings{R"(See C:\\Program Files)", R"(\PNext)"}));

    // Escaped braces open no group, so the codes after them are still cut and collected.
    Split braces(R"(\{\{a\Pb\fC;c\}\})");
    EXPECT_EQ(braces.Pieces(), (Strings{R"(\{\{a)", R"(\Pb)", R"(\fC;c\}\})"}));
    EXPECT_EQ(braces.Fonts(), (Strings{R"(\fC;)"}));

    // An escaped backslash before a real break: the break still cuts.
    EXPECT_EQ(Split(R"(a\\\Pb)").Pieces(), (Strings{R"(a\\)", R"(\Pb)"}));
}

TEST(SplitContents, JoiningThePiecesOfAnyContentGivesTheContentBack) {
    const std::vector<std::string> tokens = {R"(\P)",       R"(\fArial|b0|i0|c0|p34;)",
                                             R"(\fTimes;)", R"(\H0.25;)",
                                             R"(\H1.5x;)",  "{",
                                             "}",           "text",
                                             " ",           R"(\pi-1,l1,t1;)",
                                             R"(\\)",       R"(\{)",
                                             R"(\})",       "\\",
                                             "P",           "f",
                                             "H",           ";",
                                             R"(\L)",       "\t",
                                             R"(\fOpen)",   R"(\H2)"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        for (int n = length(random); n > 0; --n)
            content += tokens[pick(random)];
        SCOPED_TRACE(content);
        Split split(content);
        const std::vector<std::string> pieces = split.Pieces();
        std::string joined;
        for (const std::string& piece : pieces) {
            ASSERT_FALSE(piece.empty());
            joined += piece;
        }
        ASSERT_EQ(joined, content);
        ASSERT_EQ(split.count, static_cast<int>(pieces.size()));
        // Cuts fall only at paragraph breaks and font changes.
        for (std::size_t k = 1; k < pieces.size(); ++k)
            ASSERT_TRUE(pieces[k].rfind("\\P", 0) == 0 || pieces[k].rfind("\\f", 0) == 0)
                << pieces[k];
        // Only finished codes are collected.
        for (const std::string& code : split.Fonts())
            ASSERT_TRUE(code.rfind("\\f", 0) == 0 && code.back() == ';') << code;
        for (const std::string& code : split.Heights())
            ASSERT_EQ(code.back(), ';') << code;
    }
}
