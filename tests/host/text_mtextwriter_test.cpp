// The MText writer on documents built by hand: codes, units, groups and escapes.
#include "text/acicolor.h"
#include "text/mtextwriter.h"
#include "text_mtext_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace cadhost::text;

Run R(std::string text, CharFormat format = {}) {
    return Run{format, std::move(text)};
}

Paragraph P(std::vector<Run> runs, ParagraphFormat format = {}) {
    Paragraph paragraph;
    paragraph.runs = std::move(runs);
    paragraph.format = std::move(format);
    return paragraph;
}

TextDocument D(std::vector<Paragraph> paragraphs) {
    TextDocument document;
    document.fonts = {FontFace{"Arial", 0, 0x22}, FontFace{"Times New Roman", 0, 0x12},
                      FontFace{"MS Mincho", 128, 0x31}};
    document.paragraphs = std::move(paragraphs);
    return document;
}

CharFormat Size(int halfPoints) {
    CharFormat format;
    format.halfPoints = halfPoints;
    return format;
}

TEST(TextMTextWriter, BodySizeIsOneAndOtherSizesAreGroupsRelativeToIt) {
    CharFormat title = Size(36);
    title.bold = true;
    auto document = D({P({R("Title", title)}), P({R("Body text, the most of it.", Size(20))}),
                       P({R("small", Size(16)), R(" and body", Size(20))})});
    EXPECT_EQ(WriteMText(document),
              "{\\fArial|b0|i0|c0|p34;\\H1x;{\\fArial|b1|i0|c0|p34;\\H1.8x;Title}\\PBody text, the "
              "most of it.\\P{\\fArial|b0|i0|c0|p34;\\H0.8x;small} and body}");
    // Lengths are in body heights: 360 twips at a 10 pt body is 1.8.
    ParagraphFormat hanging;
    hanging.firstIndent = -360;
    hanging.leftIndent = 360;
    hanging.tabs = {{360, TabAlignment::Left}};
    auto indented = D({P({R("1.\tItem", Size(20))}, hanging)});
    EXPECT_EQ(WriteMText(indented), "{\\fArial|b0|i0|c0|p34;\\H1x;\\pi-1.8,l1.8,t1.8;1.\tItem}");
}

TEST(TextMTextWriter, FontCodesWhereFontBoldOrItalicChange) {
    CharFormat bold;
    bold.bold = true;
    CharFormat times;
    times.font = 1;
    times.italic = true;
    CharFormat mincho;
    mincho.font = 2;
    auto document = D({P({R("times first", times), R(" body body body body"), R(" bold", bold),
                          R(" \xE6\x98\x8E", mincho)})});
    // The opening code is the body's font, plain; the first run's own font follows at once.
    EXPECT_EQ(WriteMText(document),
              "{\\fArial|b0|i0|c0|p34;\\H1x;\\fTimes New Roman|b0|i1|c0|p18;times first"
              "\\fArial|b0|i0|c0|p34; body body body body\\fArial|b1|i0|c0|p34; bold"
              "\\fMS Mincho|b0|i0|c128|p49; \xE6\x98\x8E}");
}

TEST(TextMTextWriter, DecorationsAreShallowGroupsThatStartWithTheirFontCode) {
    CharFormat red;
    red.hasColor = true;
    red.color = {255, 0, 0};
    CharFormat black;
    black.hasColor = true;
    CharFormat underlined;
    underlined.underline = true;
    CharFormat struckRed = red;
    struckRed.strike = true;
    CharFormat super;
    super.vertical = VerticalPosition::Superscript;
    CharFormat sub;
    sub.vertical = VerticalPosition::Subscript;
    auto document =
        D({P({R("a "), R("red", red), R(" black", black), R(" u", underlined), R("k", struckRed),
              R(" x"), R("2", super), R("H"), R("2", sub), R("line\nbreak", underlined)})});
    std::string content = WriteMText(document);
    EXPECT_EQ(content, "{\\fArial|b0|i0|c0|p34;\\H1x;a {\\fArial|b0|i0|c0|p34;\\C1;red} black"
                       "{\\fArial|b0|i0|c0|p34;\\L u}{\\fArial|b0|i0|c0|p34;\\C1;\\Kk} x"
                       "{\\fArial|b0|i0|c0|p34;\\H0.7x;\\A2;2}H{\\fArial|b0|i0|c0|p34;\\H0.7x;2}"
                       "{\\fArial|b0|i0|c0|p34;\\Lline}\\P{\\fArial|b0|i0|c0|p34;\\Lbreak}}");
    auto reading = text_test::ReadMText(content);
    EXPECT_TRUE(reading.wellFormed) << reading.error;
    EXPECT_EQ(reading.maxDepth, 2);
}

TEST(TextMTextWriter, TextIsEscaped) {
    auto document = D({P({R("a\\b {c} d\xC2\xA0"
                            "e\ttab soft\xC2\xAD"
                            "hyphen \xE2\x82\xAC")})});
    EXPECT_EQ(WriteMText(document),
              "{\\fArial|b0|i0|c0|p34;\\H1x;a\\\\b \\{c\\} d\\~e\ttab softhyphen \xE2\x82\xAC}");
}

TEST(TextMTextWriter, ParagraphCodesOnlyWhereTheyChange) {
    ParagraphFormat list;
    list.firstIndent = -240;
    list.leftIndent = 480;
    list.tabs = {
        {480, TabAlignment::Left}, {2400, TabAlignment::Center}, {4800, TabAlignment::Decimal}};
    ParagraphFormat centred;
    centred.alignment = Alignment::Center;
    centred.rightIndent = 240;
    auto document =
        D({P({R("a")}, list), P({R("b")}, list), P({R("c")}, centred), P({R("d")}), P({R("e")})});
    EXPECT_EQ(WriteMText(document), "{\\fArial|b0|i0|c0|p34;\\H1x;\\pi-1,l2,t2,c10,r20;a\\Pb"
                                    "\\P\\pi0,l0,r1,qc,t;c\\P\\pi0,l0,r0,ql;d\\Pe}");
}

TEST(TextMTextWriter, TableRowsAreLinesWithTabsAtTheCellEdges) {
    TextDocument document = D({});
    document.rows = {TableRow{-108, {2772, 5652, 8532}}};
    for (const char* cell : {"Door", "Frame", "Finish"}) {
        Paragraph paragraph = P({R(cell)});
        paragraph.end = ParagraphEnd::Cell;
        paragraph.tableLevel = 1;
        paragraph.row = 0;
        document.paragraphs.push_back(paragraph);
    }
    document.paragraphs.back().end = ParagraphEnd::Row;
    document.paragraphs.push_back(P({R("after")}));
    EXPECT_EQ(
        WriteMText(document),
        "{\\fArial|b0|i0|c0|p34;\\H1x;\\pi0,l0,t12,24;Door\tFrame\tFinish\\P\\pi0,l0,t;after}");
}

TEST(TextMTextWriter, HiddenTextAndTrailingEmptyParagraphsAreLeftOut) {
    CharFormat hidden;
    hidden.hidden = true;
    auto document =
        D({P({}), P({R("shown"), R(" secret", hidden)}), P({}), P({R("x", hidden)}), P({})});
    EXPECT_EQ(WriteMText(document), "{\\fArial|b0|i0|c0|p34;\\H1x;\\Pshown}");
    // No text at all still gives content the module can take apart.
    EXPECT_EQ(WriteMText(TextDocument{}), "{\\fArial|b0|i0|c0|p34;\\H1x;}");
}

TEST(TextMTextWriter, ColoursMapToTheNearestIndex) {
    EXPECT_EQ(NearestAci({255, 0, 0}), 1);
    EXPECT_EQ(NearestAci({0, 0, 255}), 5);
    EXPECT_EQ(NearestAci({255, 255, 255}), 7);
    EXPECT_EQ(NearestAci({250, 5, 5}), 1);
    EXPECT_EQ(NearestAci({128, 128, 128}), 8);
    // The hue ring: 30 degrees, full saturation and brightness is index 30.
    EXPECT_EQ(AciToRgb(30), (Rgb{255, 127, 0}));
    EXPECT_EQ(NearestAci(AciToRgb(137)), 137);
    EXPECT_EQ(AciToRgb(251), (Rgb{91, 91, 91}));
}

TEST(TextMTextWriter, NumbersRoundAsFourDecimalsDoAndLoseTheirZeros) {
    // 1/32 = 0.03125 lies halfway between 0.0312 and 0.0313: an exact tie goes to the even
    // digit, as printf's "%.4f" has it.
    auto tie = D({P({R("body text, the most of it", Size(32)), R("x", Size(1))})});
    EXPECT_EQ(WriteMText(tie), "{\\fArial|b0|i0|c0|p34;\\H1x;body text, the most of it"
                               "{\\fArial|b0|i0|c0|p34;\\H0.0312x;x}}");
    // 3/32 = 0.09375: halfway again, and here the even digit is the higher one.
    auto up = D({P({R("body text, the most of it", Size(32)), R("x", Size(3))})});
    EXPECT_EQ(WriteMText(up), "{\\fArial|b0|i0|c0|p34;\\H1x;body text, the most of it"
                              "{\\fArial|b0|i0|c0|p34;\\H0.0938x;x}}");
    // A length too small for four decimals is 0, never "-0"; one just big enough keeps its sign.
    ParagraphFormat tiny;
    tiny.firstIndent = -1; // of 32760 twips, the body height: -0.00003
    tiny.leftIndent = -2;  // -0.00006, which rounds to -0.0001
    tiny.rightIndent = 16380;
    auto lengths = D({P({R("text", Size(3276))}, tiny)});
    EXPECT_EQ(WriteMText(lengths), "{\\fArial|b0|i0|c0|p34;\\H1x;\\pi0,l-0.0001,r0.5;text}");
}

TEST(TextMTextWriter, EachRunGetsTheCodesOfItsOwnFormat) {
    // Runs of one size, on the line and raised; of one colour and of others; of one font
    // plain, bold and italic: each must get its own codes, however often the others came.
    CharFormat raised = Size(20);
    raised.vertical = VerticalPosition::Superscript;
    CharFormat lowered = Size(20);
    lowered.vertical = VerticalPosition::Subscript;
    CharFormat red = Size(20);
    red.hasColor = true;
    red.color = {255, 0, 0};
    CharFormat blue = red;
    blue.color = {0, 0, 255};
    CharFormat bold = Size(20);
    bold.bold = true;
    CharFormat italic = Size(20);
    italic.italic = true;
    CharFormat unknownFont = Size(20);
    unknownFont.font = 7; // no such font: the default face stands in, as another font
    auto document = D({P({R("body text, the most of it", Size(20)), R("a", raised), R("b", lowered),
                          R("c", raised), R("d", red), R("e", blue), R("f", red), R("g", bold),
                          R("h", italic), R("i", bold), R("j", unknownFont), R("k", Size(20))})});
    EXPECT_EQ(WriteMText(document),
              "{\\fArial|b0|i0|c0|p34;\\H1x;body text, the most of it"
              "{\\fArial|b0|i0|c0|p34;\\H0.7x;\\A2;a}{\\fArial|b0|i0|c0|p34;\\H0.7x;b}"
              "{\\fArial|b0|i0|c0|p34;\\H0.7x;\\A2;c}{\\fArial|b0|i0|c0|p34;\\C1;d}"
              "{\\fArial|b0|i0|c0|p34;\\C5;e}{\\fArial|b0|i0|c0|p34;\\C1;f}"
              "\\fArial|b1|i0|c0|p34;g\\fArial|b0|i1|c0|p34;h\\fArial|b1|i0|c0|p34;i"
              "\\fArial|b0|i0|c0|p34;j\\fArial|b0|i0|c0|p34;k}");
}

TEST(TextMTextWriter, TheBodySizeIsTheOneOfMostCharactersNotBytes) {
    // Ten accented letters take twenty bytes but are fewer characters than fifteen plain ones.
    std::string accented;
    for (int i = 0; i < 10; ++i)
        accented += "\xC3\xA9";
    auto document = D({P({R(accented, Size(40)), R("fifteen letters", Size(20))})});
    BodyText body = FindBodyText(document);
    EXPECT_EQ(body.halfPoints, 20);
    // Of sizes with as many characters, the first met is the body's; hidden text counts not.
    CharFormat hidden = Size(30);
    hidden.hidden = true;
    auto equal = D({P({R("a long hidden run of text", hidden), R("abc\xE2\x80\x94", Size(28)),
                       R("abcd", Size(22)), R("xy", Size(28))})});
    body = FindBodyText(equal);
    EXPECT_EQ(body.halfPoints, 28) << "six characters at 28 half-points against four at 22";
    auto tied = D({P({R("abcd", Size(22)), R("ab\xC3\xA9"
                                             "d",
                                             Size(28))})});
    EXPECT_EQ(FindBodyText(tied).halfPoints, 22);
    // The font is chosen the same way, apart from the size.
    CharFormat times = Size(20);
    times.font = 1;
    auto fonts = D({P(
        {R("ab", Size(20)), R("\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94", times), R("c", Size(20))})});
    EXPECT_EQ(FindBodyText(fonts).font, 0) << "three characters in each font: the first met";
}

TEST(TextMTextWriter, LongRunsAreCountedInCharactersToo) {
    // Runs long enough to be counted many bytes at a time, one in two-byte characters:
    // 6000 of those against 6000 letters is a tie, won by the first; one letter more wins.
    std::string accented;
    for (int i = 0; i < 6000; ++i)
        accented += "\xC3\xA9";
    for (std::size_t letters : {5999u, 6000u, 6001u}) {
        auto document = D({P({R(accented, Size(40)), R(std::string(letters, 'a'), Size(20))})});
        EXPECT_EQ(FindBodyText(document).halfPoints, letters > 6000 ? 20 : 40) << letters;
    }
    // Three-byte characters in a run whose length is no multiple of any step.
    std::string dashes;
    for (int i = 0; i < 4099; ++i)
        dashes += "\xE2\x80\x94";
    auto document = D({P({R(std::string(4099, 'b'), Size(20)), R(dashes + "c", Size(30))})});
    EXPECT_EQ(FindBodyText(document).halfPoints, 30);
}

TEST(TextMTextWriter, MTextSyntaxInTextIsEscapedWhereverItStands) {
    // Escapes at the start, the end and in the middle of long stretches of plain text.
    std::string plain(40, 'p');
    std::string text = "{" + plain + "\\" + plain + "}" + plain + "\xC2\xA0" + plain + "\xC2\xAD" +
                       plain + "\xC2\xB0" + plain + "\xC2";
    auto document = D({P({R(text)})});
    EXPECT_EQ(WriteMText(document), "{\\fArial|b0|i0|c0|p34;\\H1x;\\{" + plain + "\\\\" + plain +
                                        "\\}" + plain + "\\~" + plain + plain + "\xC2\xB0" + plain +
                                        "\xC2}");
}

} // namespace
