// The MText content parser: what each in-line code does to the formatting of the text after
// it, how braces scope it, escapes, stacks, paragraph codes, and malformed content.
#include "text/mtextparse.h"

#include <gtest/gtest.h>

#include <string>

using namespace cadhost::text;

namespace {

constexpr double kHeight = 0.25;

ParsedMText Parse(const std::string& contents, const char* styleFont = "Arial") {
    return ParseMText(contents, kHeight, styleFont);
}

std::string Plain(const std::string& contents) {
    return PlainText(Parse(contents));
}

// The text runs of the first paragraph, as "text" lists, to check where runs split.
std::vector<std::string> RunTexts(const ParsedMText& parsed, std::size_t paragraph = 0) {
    std::vector<std::string> texts;
    for (const MTextRun& run : parsed.paragraphs.at(paragraph).runs)
        texts.push_back(run.kind == MTextRun::Kind::Text ? run.text : "<other>");
    return texts;
}

// The format of the last character of a content.
MTextCharFormat LastFormat(const std::string& contents) {
    ParsedMText parsed = Parse(contents);
    return parsed.paragraphs.at(0).runs.back().format;
}

const MTextRun& RunWithText(const ParsedMText& parsed, const std::string& text) {
    for (const MTextParagraph& p : parsed.paragraphs)
        for (const MTextRun& run : p.runs)
            if (run.text == text)
                return run;
    throw std::runtime_error("no run \"" + text + "\"");
}

TEST(MTextParse, FontCodesResolveFamilyStyleAndFields) {
    ParsedMText parsed = Parse("plain\\fTimes New Roman|b1|i0|c238|p18;bold\\fCourier New|b0|i1;"
                               "italic\\Fromans.shx;file\\f|b1;same");
    const MTextRun& plain = RunWithText(parsed, "plain");
    EXPECT_EQ(parsed.fonts.at(plain.format.font).family, "Arial");

    const MTextFontRequest& bold = parsed.fonts.at(RunWithText(parsed, "bold").format.font);
    EXPECT_EQ(bold.family, "Times New Roman");
    EXPECT_TRUE(bold.bold);
    EXPECT_FALSE(bold.italic);
    EXPECT_EQ(bold.charset, 238);
    EXPECT_EQ(bold.pitch, 18);

    const MTextFontRequest& italic = parsed.fonts.at(RunWithText(parsed, "italic").format.font);
    EXPECT_EQ(italic.family, "Courier New");
    EXPECT_TRUE(italic.italic);

    // A font code without a family name changes nothing, so "same" joins "file".
    const MTextFontRequest& file = parsed.fonts.at(RunWithText(parsed, "filesame").format.font);
    EXPECT_EQ(file.family, "romans");
    EXPECT_TRUE(file.fromFile);
}

TEST(MTextParse, StyleFontGivenAsFileName) {
    ParsedMText parsed = Parse("x", "C:\\Fonts\\times.TTF");
    EXPECT_EQ(parsed.fonts.at(parsed.paragraphs[0].runs[0].format.font).family, "times");
    ParsedMText unnamed = Parse("x", "");
    EXPECT_EQ(unnamed.fonts.at(unnamed.paragraphs[0].runs[0].format.font).family, "Arial");
}

TEST(MTextParse, HeightCodesAbsoluteAndRelative) {
    EXPECT_DOUBLE_EQ(LastFormat("a").height, kHeight);
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;b").height, 0.5);
    // A relative height multiplies the height in force.
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;\\H1.5x;c").height, 0.75);
    EXPECT_DOUBLE_EQ(LastFormat("\\H3X;c").height, 0.75);
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;{\\H2x;d}").height, 1.0);
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;{\\H2x;d}e").height, 0.5);
    EXPECT_DOUBLE_EQ(LastFormat("\\H-0.4;f").height, 0.4);
    // Zero, absurd values and a code without a number keep the height.
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;\\H0;g").height, 0.5);
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;\\H1e300;g").height, 0.5);
    EXPECT_DOUBLE_EQ(LastFormat("\\H0.5;\\Hjunk;h").height, 0.5);
    EXPECT_EQ(Plain("\\Hjunk;h"), "junk;h");
    // Without its ";" the code ends where its number does.
    EXPECT_DOUBLE_EQ(LastFormat("\\H2x i").height, 0.5);
    EXPECT_EQ(Plain("\\H2x i"), " i");
}

TEST(MTextParse, CharacterCodes) {
    ParsedMText parsed = Parse("\\W2;wide\\W0.5x;narrow\\Q15;slant\\T1.5;track\\A1;mid\\A2;top"
                               "\\C1;red\\c16711680;blue\\C256;bylayer\\Lu\\lnou\\Oo\\oK\\Ks\\k");
    EXPECT_DOUBLE_EQ(RunWithText(parsed, "wide").format.widthFactor, 2.0);
    EXPECT_DOUBLE_EQ(RunWithText(parsed, "narrow").format.widthFactor, 1.0);
    EXPECT_DOUBLE_EQ(RunWithText(parsed, "slant").format.obliqueDegrees, 15.0);
    EXPECT_DOUBLE_EQ(RunWithText(parsed, "track").format.tracking, 1.5);
    EXPECT_EQ(RunWithText(parsed, "mid").format.verticalAlign, MTextVerticalAlign::Center);
    EXPECT_EQ(RunWithText(parsed, "top").format.verticalAlign, MTextVerticalAlign::Top);

    MTextColor red = RunWithText(parsed, "red").format.color;
    EXPECT_EQ(red.kind, MTextColor::Kind::Index);
    EXPECT_EQ(red.index, 1);
    MTextColor blue = RunWithText(parsed, "blue").format.color;
    EXPECT_EQ(blue.kind, MTextColor::Kind::True);
    EXPECT_EQ(blue.red, 0);
    EXPECT_EQ(blue.blue, 255); // 0xFF0000: red sits in the low byte
    EXPECT_EQ(RunWithText(parsed, "bylayer").format.color.index, 256);

    EXPECT_TRUE(RunWithText(parsed, "u").format.underline);
    EXPECT_FALSE(RunWithText(parsed, "nou").format.underline);
    EXPECT_TRUE(RunWithText(parsed, "o").format.overline);
    EXPECT_FALSE(RunWithText(parsed, "K").format.overline);
    EXPECT_TRUE(RunWithText(parsed, "s").format.strike);

    // Out-of-range values are held to what the host accepts.
    EXPECT_DOUBLE_EQ(LastFormat("\\W500;w").widthFactor, 100.0);
    EXPECT_DOUBLE_EQ(LastFormat("\\Q-100;q").obliqueDegrees, -85.0);
    EXPECT_DOUBLE_EQ(LastFormat("\\T0.1;t").tracking, 0.75);
    EXPECT_EQ(LastFormat("\\C999;c").color.kind, MTextColor::Kind::Entity);
}

TEST(MTextParse, BracesScopeFormattingAndNest) {
    ParsedMText parsed = Parse("a{\\C1;\\H2x;b{\\L\\fTimes;c}d}e}f{g");
    EXPECT_EQ(RunTexts(parsed), (std::vector<std::string>{"a", "b", "c", "d", "efg"}));
    const MTextRun& c = RunWithText(parsed, "c");
    EXPECT_TRUE(c.format.underline);
    EXPECT_EQ(c.format.color.index, 1);
    EXPECT_DOUBLE_EQ(c.format.height, 0.5);
    const MTextRun& d = RunWithText(parsed, "d");
    EXPECT_FALSE(d.format.underline);
    EXPECT_EQ(parsed.fonts.at(d.format.font).family, "Arial");
    EXPECT_EQ(d.format.color.index, 1);
    // After the group, and after a stray "}" and an unclosed "{", the outer format holds.
    EXPECT_EQ(RunWithText(parsed, "efg").format, parsed.paragraphs[0].runs[0].format);
}

TEST(MTextParse, EscapesSpecialCharactersAndUnknownCodes) {
    EXPECT_EQ(Plain("a\\\\b\\{c\\}d"), "a\\b{c}d");
    EXPECT_EQ(Plain("keep\\~together"), "keep\u00A0together");
    EXPECT_EQ(Plain("90%%d %%p0.1 %%c25 100%% %%%"), "90\u00B0 \u00B10.1 \u00D825 100%% %%%");
    EXPECT_EQ(Plain("\\U+00B0C \\U+2205 \\U+12"), "\u00B0C \u2205 \\U+12");
    // An unknown code shows as written, so nothing typed after a backslash is lost.
    EXPECT_EQ(Plain("C:\\temp\\new \\Zx;"), "C:\\temp\\new \\Zx;");
    EXPECT_EQ(Plain("end\\"), "end\\");
    // Multi-byte characters pass through, broken bytes become U+FFFD.
    EXPECT_EQ(Plain("\xE6\x97\xA5\xE6\x9C\xAC caf\xC3\xA9 \xFF!"),
              "\u65E5\u672C caf\u00E9 \uFFFD!");
}

TEST(MTextParse, CaretsTabsAndBreaks) {
    ParsedMText parsed = Parse("1.^Ia\tb^Jc^ d^Me\r\nf\\Pg\\Nh\\Xi");
    ASSERT_EQ(parsed.paragraphs.size(), 3u);
    const auto& runs = parsed.paragraphs[0].runs;
    ASSERT_GE(runs.size(), 6u);
    EXPECT_EQ(runs[0].text, "1.");
    EXPECT_EQ(runs[1].kind, MTextRun::Kind::Tab);
    EXPECT_EQ(runs[3].kind, MTextRun::Kind::Tab);
    EXPECT_EQ(runs[5].kind, MTextRun::Kind::LineBreak);
    EXPECT_EQ(PlainText(parsed), "1.\ta\tb\nc^d e\nf\ng\nh\ni");
    // The letters past the control range decode with the same arithmetic; ^ at the end and
    // before other characters is itself.
    EXPECT_EQ(Plain("^a^z^?x^1^"), "!:x^1^");
}

TEST(MTextParse, ParagraphCountAndEmptyContent) {
    EXPECT_TRUE(Parse("").paragraphs.empty());
    EXPECT_TRUE(Parse("{\\H2;\\C1;}").paragraphs.empty());
    EXPECT_EQ(Parse("\\P").paragraphs.size(), 2u);
    ParsedMText trailing = Parse("one\\Ptwo\\P");
    ASSERT_EQ(trailing.paragraphs.size(), 3u);
    EXPECT_TRUE(trailing.paragraphs[2].runs.empty());
    EXPECT_EQ(PlainText(trailing), "one\ntwo\n");
}

TEST(MTextParse, StackedText) {
    ParsedMText parsed = Parse("1\\S1/2; 2\\S3#4; 3\\S5^6; \\S7^ 8;\\S\\/a\\;b/c;\\Sup;\\S;x");
    std::vector<const MTextRun*> stacks;
    for (const MTextRun& run : parsed.paragraphs[0].runs)
        if (run.kind == MTextRun::Kind::Stack)
            stacks.push_back(&run);
    ASSERT_EQ(stacks.size(), 6u);
    EXPECT_EQ(stacks[0]->text, "1");
    EXPECT_EQ(stacks[0]->lower, "2");
    EXPECT_EQ(stacks[0]->stackType, '/');
    EXPECT_EQ(stacks[1]->stackType, '#');
    EXPECT_EQ(stacks[2]->stackType, '^');
    // "^ " is the caret as a drawing file writes it.
    EXPECT_EQ(stacks[3]->text, "7");
    EXPECT_EQ(stacks[3]->lower, "8");
    // Escaped separators and semicolons belong to the parts.
    EXPECT_EQ(stacks[4]->text, "/a;b");
    EXPECT_EQ(stacks[4]->lower, "c");
    EXPECT_EQ(stacks[5]->stackType, 0);
    EXPECT_EQ(stacks[5]->text, "up");
    EXPECT_EQ(PlainText(parsed), "11/2 23#4 35^6 7^8/a;b/cupx");
    // An unterminated stack takes the rest.
    EXPECT_EQ(Plain("a\\S1/2"), "a1/2");
}

TEST(MTextParse, ParagraphCodesInDrawingUnits) {
    ParsedMText parsed =
        Parse("\\pi-2,l2,t2;1.^Ifirst\\P\\pxqc,r1.5,sm1.5;centred\\P\\pxt1,c3,r5.5;tabs"
              "\\P\\pi*,l*,r*,q*,s*,t;reset");
    ASSERT_EQ(parsed.paragraphs.size(), 4u);
    const MTextParagraphFormat& hanging = parsed.paragraphs[0].format;
    EXPECT_DOUBLE_EQ(hanging.firstIndent, -2 * kHeight);
    EXPECT_DOUBLE_EQ(hanging.leftIndent, 2 * kHeight);
    ASSERT_EQ(hanging.tabCount, 1);
    EXPECT_DOUBLE_EQ(hanging.tabs[0].position, 2 * kHeight);

    // Codes keep what they do not mention.
    const MTextParagraphFormat& centred = parsed.paragraphs[1].format;
    EXPECT_EQ(centred.align, MTextParagraphAlign::Center);
    EXPECT_DOUBLE_EQ(centred.rightIndent, 1.5 * kHeight);
    EXPECT_DOUBLE_EQ(centred.lineSpacing, 1.5);
    EXPECT_DOUBLE_EQ(centred.leftIndent, 2 * kHeight);

    const MTextParagraphFormat& tabs = parsed.paragraphs[2].format;
    ASSERT_EQ(tabs.tabCount, 3);
    EXPECT_EQ(tabs.tabs[1].type, MTextTabType::Center);
    EXPECT_DOUBLE_EQ(tabs.tabs[2].position, 5.5 * kHeight);
    EXPECT_EQ(tabs.tabs[2].type, MTextTabType::Right);

    EXPECT_EQ(parsed.paragraphs[3].format, MTextParagraphFormat{});
}

TEST(MTextParse, ParagraphCodesJoinedWithoutCommasEachSetTheirValue) {
    // The form a continued column opens with: one code, letters joined by "\p".
    ParsedMText parsed = Parse("\\pi-2\\pt2\\pl3;1.^Ifirst");
    ASSERT_EQ(parsed.paragraphs.size(), 1u);
    const MTextParagraphFormat& format = parsed.paragraphs[0].format;
    EXPECT_DOUBLE_EQ(format.firstIndent, -2 * kHeight);
    EXPECT_DOUBLE_EQ(format.leftIndent, 3 * kHeight);
    ASSERT_EQ(format.tabCount, 1);
    EXPECT_DOUBLE_EQ(format.tabs[0].position, 2 * kHeight);
    EXPECT_EQ(PlainText(parsed), "1.\tfirst");
}

TEST(MTextParse, ParagraphCodeTakesEffectWhereTheParagraphStarts) {
    // Before the first visible character the code is the paragraph's own; after it, it
    // waits for the next paragraph.  Braces scope it like any other format.
    ParsedMText parsed = Parse("{\\pl1;}\\pl2;one \\pl3;more\\Ptwo\\P{\\pl4;three}\\Pfour");
    ASSERT_EQ(parsed.paragraphs.size(), 4u);
    EXPECT_DOUBLE_EQ(parsed.paragraphs[0].format.leftIndent, 2 * kHeight);
    EXPECT_DOUBLE_EQ(parsed.paragraphs[1].format.leftIndent, 3 * kHeight);
    EXPECT_DOUBLE_EQ(parsed.paragraphs[2].format.leftIndent, 4 * kHeight);
    EXPECT_DOUBLE_EQ(parsed.paragraphs[3].format.leftIndent, 3 * kHeight);
}

TEST(MTextParse, MalformedContentGivesAResult) {
    EXPECT_EQ(Plain("a\\fArial"), "a");
    EXPECT_EQ(Plain("a\\H"), "a");
    EXPECT_EQ(Plain("a\\H2"), "a");
    EXPECT_EQ(Plain("a\\pi-2,l"), "a");
    EXPECT_EQ(Plain("a\\C"), "a");
    EXPECT_EQ(Plain("}}}a{{{b"), "ab");
    EXPECT_EQ(Plain(std::string("a\0b", 3)), "a b");

    // Deep nesting costs no memory past a limit, and the text inside still reads.
    std::string deep(1 << 20, '{');
    EXPECT_TRUE(Parse(deep).paragraphs.empty());
    EXPECT_EQ(Plain(deep + "x" + std::string(1 << 20, '}') + "y"), "xy");
    std::string closing(1 << 20, '}');
    EXPECT_TRUE(Parse(closing).paragraphs.empty());

    // Shallow groups around a deep one still restore their format.
    std::string nested = "{\\C1;";
    for (int i = 0; i < 500; ++i)
        nested += "{\\C2;";
    nested += "in";
    nested += std::string(500, '}');
    nested += "red}plain";
    ParsedMText parsed = Parse(nested);
    EXPECT_EQ(RunWithText(parsed, "plain").format.color.kind, MTextColor::Kind::Entity);

    // Every code letter cut off at every point.
    const std::string full =
        "{\\fArial|b1|i1;\\H1.5x;\\W0.8;\\Q10;\\T1.2;\\A1;\\C3;\\c255;\\L\\O\\K\\pxi-1,l1,t1,2;"
        "\\S1/2;\\U+00B0%%d^I\\~\\\\x}";
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        ParsedMText part = Parse(full.substr(0, cut));
        for (const MTextParagraph& p : part.paragraphs)
            for (const MTextRun& run : p.runs)
                EXPECT_LT(static_cast<std::size_t>(run.format.font), part.fonts.size());
    }
    EXPECT_EQ(Plain(full), "1/2\u00B0\u00B0\t\u00A0\\x");
}

} // namespace
