// The Rich Text reader, through the document model and its plain text.
#include "text/plaintextwriter.h"
#include "text/rtfconvert.h"
#include "text/rtfreader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace cadhost::text;

std::string Plain(const std::string& rtf) {
    return WritePlainText(ReadRtf(rtf));
}

std::string ReadDocumentPlain(const std::string& bytes) {
    return WritePlainText(ReadDocument(bytes));
}

std::string Doc(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\fnil\\fcharset204 Times Cyr;}{\\f2\\fnil\\fcharset238 Arial CE;}"
           "{\\f3\\fnil\\fcharset2 Symbol;}{\\f4\\fnil\\fcharset128 MS Mincho;}}" +
           body + "}";
}

const Run& OnlyRun(const TextDocument& document) {
    static const Run none;
    if (document.paragraphs.size() != 1 || document.paragraphs[0].runs.size() != 1) {
        ADD_FAILURE() << "expected one paragraph of one run";
        return none;
    }
    return document.paragraphs[0].runs[0];
}

TEST(TextRtfReaderSyntax, ControlWordsSymbolsAndDelimiters) {
    // The space after a control word is its delimiter; a second one is text.
    EXPECT_EQ(Plain(Doc("\\b  bold\\b0 x")), " boldx");
    // A parameter ends the word without a space; a minus sign belongs to it.
    EXPECT_EQ(Plain(Doc("a\\li-360b")), "ab");
    EXPECT_EQ(Plain(Doc("\\{braces\\} back\\\\slash")), "{braces} back\\slash");
    // Unknown words are ignored and their text kept; unknown \* destinations are skipped.
    EXPECT_EQ(Plain(Doc("\\madeupword kept {\\*\\madeupdest gone {nested}} too")), "kept  too");
    // A backslash before a line end is a paragraph mark; bare line ends are nothing.
    EXPECT_EQ(Plain(Doc("one\\\ntwo\nthree")), "one\ntwothree");
    // Control characters are no text, whether literal, escaped or Unicode.
    EXPECT_EQ(Plain(Doc("a\x7f\x01"
                        "b\\'7f\\'01c\\u127?\\u1?d")),
              "abcd");
}

TEST(TextRtfReaderSyntax, DamagedWordsAndParametersAreBounded) {
    std::string longWord(10000, 'q');
    EXPECT_EQ(Plain(Doc("a\\" + longWord + " b")), "ab");
    // Forty digits saturate instead of overflowing; the size stays in range.
    auto document = ReadRtf(Doc("\\fs" + std::string(40, '9') + " big"));
    EXPECT_GT(OnlyRun(document).format.halfPoints, 0);
    EXPECT_LE(OnlyRun(document).format.halfPoints, 3276);
    EXPECT_EQ(Plain(Doc("\\u" + std::string(40, '7') + " x")), "\xEF\xBF\xBD");
    // A lone backslash or a broken hex escape at the end does no harm.
    EXPECT_EQ(Plain("{\\rtf1 abc\\'4"), "abc");
    EXPECT_EQ(Plain("{\\rtf1 abc\\"), "abc");
}

TEST(TextRtfReaderSyntax, BinaryDataIsSkippedByItsCount) {
    // The binary bytes hold braces and backslashes that must not be read as syntax.
    std::string data = "{\\}\\par{{";
    EXPECT_EQ(Plain(Doc("a{\\pict\\bin" + std::to_string(data.size()) + " " + data + "}b")), "ab");
    EXPECT_EQ(Plain(Doc("a\\bin3 xyzb")), "ab");
    // A count past the end of the input ends the document, without reading past it.
    EXPECT_EQ(Plain(Doc("a\\bin999999999 xyz")), "a");
    EXPECT_EQ(Plain(Doc("a\\bin-5 b")), "ab");
}

TEST(TextRtfReaderSyntax, SkippedGroupsEndAtTheirOwnClosingBrace) {
    // Long stretches without syntax (picture data) around escaped braces and nested groups.
    std::string hex;
    for (int i = 0; i < 40; ++i)
        hex += "0123456789abcdef";
    EXPECT_EQ(Plain(Doc("a{\\*\\gone " + hex + "\\{" + hex + "{" + hex + "}\\}\\\\}b")), "ab");
    EXPECT_EQ(Plain(Doc("a{\\pict " + hex + "\r\n" + hex + "}b{\\pict}c")), "abc");
    // Only \bin counts bytes; a longer word that starts with its letters does not.
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\bin4 }{{}}b")), "ab");
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\bin2{}}b")), "ab");
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\bin1 }}b}c")), "ab");
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\binfsxn1 }}b}c")), "a");
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\bi1 }}b}c")), "a");
    EXPECT_EQ(Plain(Doc("a{\\*\\gone\\bin}b}c")), "ab");
    // A skipped group cut short ends the document.
    EXPECT_EQ(Plain("{\\rtf1 a{\\*\\gone\\bin"), "a");
    EXPECT_EQ(Plain("{\\rtf1 a{\\*\\gone{\\"), "a");
}

TEST(TextRtfReaderSyntax, GroupsScopeFormattingAndDeepNestingIsFlattened) {
    auto document = ReadRtf(Doc("a{\\b b{\\i c}d}e"));
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_TRUE(runs[2].format.bold && runs[2].format.italic);
    EXPECT_TRUE(runs[3].format.bold && !runs[3].format.italic);
    EXPECT_FALSE(runs[4].format.bold);

    std::string deep =
        Doc(std::string(100000, '{') + "\\b deep" + std::string(100000, '}') + " after");
    EXPECT_EQ(Plain(deep), "deep after");
    // Unbalanced the other way: text after the document's closing brace is not read.
    EXPECT_EQ(Plain("{\\rtf1 in}} out"), "in");
    EXPECT_EQ(Plain("{\\rtf1 {\\b cut short"), "cut short");
}

TEST(TextRtfReaderUnicode, FallbackSkippingAndSurrogates) {
    // \uN is signed 16-bit; the \ucN characters after it are the fallback and skipped,
    // a \'hh escape counting as one.
    EXPECT_EQ(Plain(Doc("\\u-3913?x")), "\xEF\x82\xB7x");
    EXPECT_EQ(Plain(Doc("\\uc2\\u8212\\'97\\'97x")), "\xE2\x80\x94x");
    EXPECT_EQ(Plain(Doc("\\uc0\\u8212 x")), "\xE2\x80\x94x");
    // \uc is scoped by the group, and the fallback stops at a group boundary.
    EXPECT_EQ(Plain(Doc("{\\uc3 a}\\u233 ex")), "a\xC3\xA9x");
    EXPECT_EQ(Plain(Doc("{\\uc3\\u233 e}x")), "\xC3\xA9x");
    EXPECT_EQ(Plain(Doc("\\uc2\\u233{b}c")), "\xC3\xA9"
                                             "bc");
    // A surrogate pair makes one character; halves on their own are replaced.
    EXPECT_EQ(Plain(Doc("\\u-10179?\\u-8704?")), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Plain(Doc("\\u-10179?x")), "\xEF\xBF\xBDx");
    EXPECT_EQ(Plain(Doc("\\u-8704?x")), "\xEF\xBF\xBDx");
}

TEST(TextRtfReaderCodePages, BytesAreDecodedWithTheFontsCharset) {
    EXPECT_EQ(Plain(Doc("\\'93q\\'94 \\'80")), "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC");
    EXPECT_EQ(Plain(Doc("{\\f1 \\'cf\\'f0\\'e8}")), "\xD0\x9F\xD1\x80\xD0\xB8"); // 1251
    EXPECT_EQ(Plain(Doc("{\\f2 \\'b9\\'e6}")), "\xC4\x85\xC4\x87");              // 1250
    // Shift-JIS: the trail byte may be an escape or a literal character.
    EXPECT_EQ(Plain(Doc("{\\f4 \\'82\\'a0\\'93@}")), "\xE3\x81\x82\xE9\x82\xB8");
    // Runs of escapes: a Unicode fallback takes only its own, a broken one ends the run,
    // and an escaped ';' ends a font table entry as a plain one does.
    EXPECT_EQ(Plain(Doc("\\uc1\\u233\\'e9\\'e8\\'e0x")), "\xC3\xA9\xC3\xA8\xC3\xA0x");
    EXPECT_EQ(Plain(Doc("\\'e9\\'zz\\'e\\'e8")), "\xC3\xA9zz\xC3\xA8");
    EXPECT_EQ(Plain(Doc("{\\f1 \\'cf\\'f0}\\'cf{\\f4 \\'82\\'a0\\'82}\\'a0")),
              "\xD0\x9F\xD1\x80\xC3\x8F\xE3\x81\x82\xC2\xA0");
    auto fonts = ReadRtf("{\\rtf1{\\fonttbl{\\f0 Ab\\'3b\\'43d;}{\\f1 Ef;}}\\f1 x}");
    ASSERT_EQ(fonts.fonts.size(), 1u);
    EXPECT_EQ(fonts.fonts[0].name, "Ef");
    // A symbol font's bytes keep their glyphs at U+F000 + byte.
    EXPECT_EQ(Plain(Doc("{\\f3 a\\'b7}")), "\xEF\x81\xA1\xEF\x82\xB7");
    // The document's code page applies to fonts without a charset and to the default one.
    EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0 Arial;}}\\'e1}"), "\xCE\xB1");
    EXPECT_EQ(Plain("{\\rtf1\\mac \\'8e}"), "\xC3\xA9");
    EXPECT_EQ(Plain("{\\rtf1\\pc \\'82}"), "\xC3\xA9");
    EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1257 \\'e0}"), "\xC4\x85");
    EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1254 \\'fe}"), "\xC5\x9F");
    EXPECT_EQ(Plain("{\\rtf1\\pca \\'9b}"), "\xC3\xB8");
    // Font names are decoded in their own charset.
    auto document = ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 Gothic;}}x}");
    ASSERT_FALSE(document.fonts.empty());
    EXPECT_EQ(document.fonts[0].name, "\xEF\xBC\xAD\xEF\xBC\xB3 Gothic");
    EXPECT_EQ(document.fonts[0].charset, 128);
}

TEST(TextRtfReaderCodePages, PlainTextAndTheBytesBetweenItAreEachDecodedInTurn) {
    // Long stretches of plain text with, among them, controls that are left out (a literal
    // tab is kept), bytes of the code page and escapes.
    std::string words = "the quick brown fox jumps over the lazy dog ";
    EXPECT_EQ(Plain(Doc(words + "\x01" + words + "\x7F" + words + "\t" + words + "\xE9" + words +
                        "\\'e9" + words)),
              words + words + words + "\t" + words + "\xC3\xA9" + words + "\xC3\xA9" + words);
    // A lead byte that closes a stretch waits for its trail byte, which may be plain ASCII.
    EXPECT_EQ(Plain(Doc("{\\f4 " + words + "\x93@" + words + "\\'93@}")),
              words + "\xE9\x82\xB8" + words + "\xE9\x82\xB8");
    // In a symbol font even ASCII letters are glyph positions.
    EXPECT_EQ(Plain(Doc("{\\f3 abc}x")), "\xEF\x81\xA1\xEF\x81\xA2\xEF\x81\xA3x");
    // Text that says it is UTF-8 by its byte order mark reads its bytes beyond ASCII so.
    EXPECT_EQ(ReadDocumentPlain("\xEF\xBB\xBF{\\rtf1 " + words + "caf\xC3\xA9 \\'e9\x01}"),
              words + "caf\xC3\xA9 \xC3\xA9");
}

TEST(TextRtfReaderTables, TablesReadAfterTextApplyToTheTextAfterThem) {
    // Text before the tables and text after them, in the same character state: each gets
    // the font and colour that are known where it stands.
    auto document = ReadRtf("{\\rtf1\\f1\\cf1 before{\\fonttbl{\\f1\\froman Times;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;} after\\par"
                            "{\\fonttbl{\\f1\\fswiss Arial;}}again"
                            "\\deff2{\\fonttbl{\\f2\\fmodern Courier;}}\\f5 default\\par}");
    ASSERT_EQ(document.paragraphs.size(), 2u);
    const auto& first = document.paragraphs[0].runs;
    ASSERT_EQ(first.size(), 2u);
    const auto& second = document.paragraphs[1].runs;
    ASSERT_EQ(second.size(), 2u);
    auto face = [&](const cadhost::text::Run& run) {
        return document.fonts.at(static_cast<std::size_t>(run.format.font));
    };
    EXPECT_EQ(face(first[0]).name, "Arial") << "the default face, as no font table came yet";
    EXPECT_FALSE(first[0].format.hasColor);
    EXPECT_EQ(face(first[1]).name, "Times");
    EXPECT_EQ(first[1].format.color, (Rgb{255, 0, 0}));
    // A second table's entry replaces the first one's.
    EXPECT_EQ(second[0].text, "again");
    EXPECT_EQ(face(second[0]), (FontFace{"Arial", 0, 0x20}));
    EXPECT_EQ(second[0].format.color, (Rgb{255, 0, 0}));
    // A font number not in the table is the default font, as \deff says it now.
    EXPECT_EQ(second[1].text, "default");
    EXPECT_EQ(face(second[1]).name, "Courier");
}

TEST(TextRtfReaderTables, AStyleWithoutANumberIsParagraphStyleZero) {
    // An entry is style 0 when it names no number, whichever words it starts with, words
    // the reader does not know included: the later entry replaces the bold one.
    for (std::string entry : {"{\\madeupword Other;}", "{\\i Other;}"}) {
        auto document = ReadRtf("{\\rtf1{\\stylesheet{\\s0\\b Normal;}" + entry +
                                "}\\pard\\plain\\s0 text\\par}");
        const auto& run = OnlyRun(document);
        EXPECT_FALSE(run.format.bold) << entry;
        EXPECT_EQ(run.format.italic, entry == "{\\i Other;}") << entry;
    }
    // Words the reader does not know change nothing elsewhere.
    auto plain =
        ReadRtf("{\\rtf1\\madeupword{\\b\\madeupword bold\\madeupword2}\\madeupword\\par}");
    EXPECT_TRUE(OnlyRun(plain).format.bold);
    EXPECT_EQ(OnlyRun(plain).text, "bold");
}

TEST(TextRtfReaderTables, FontColourAndStyleSheetsFormatTheText) {
    std::string rtf =
        "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fprq2 Times;}{\\f1\\fswiss\\fcharset0\\fprq2 "
        "Arial{\\*\\falt Helvetica};}"
        "{\\f2\\fmodern\\fprq1{\\*\\falt Courier};}}"
        "{\\colortbl;\\red255\\green0\\blue0;;\\red0\\green0\\blue255;}"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\qc\\b\\fs32\\sbasedon0 Heading;}{\\s2\\i\\sbasedon1 "
        "Sub;}"
        "{\\*\\cs3\\ul\\cf3 Link;}{\\s4\\sbasedon4\\strike Loop;}}"
        "\\pard\\plain\\s2 Title\\par\\pard\\plain plain {\\cs3 link} {\\f2\\cf1 red}{\\cf2 auto}"
        "{\\s4 loop}\\par}";
    auto document = ReadRtf(rtf);
    ASSERT_EQ(document.paragraphs.size(), 2u);
    const auto& title = document.paragraphs[0];
    ASSERT_EQ(title.runs.size(), 1u);
    // Style 2 is based on style 1: both apply, the derived one last.
    EXPECT_TRUE(title.runs[0].format.bold);
    EXPECT_TRUE(title.runs[0].format.italic);
    EXPECT_EQ(title.runs[0].format.halfPoints, 32);
    EXPECT_EQ(title.format.alignment, Alignment::Center);
    const auto& body = document.paragraphs[1].runs;
    ASSERT_EQ(body.size(), 6u);
    EXPECT_EQ(document.fonts[static_cast<std::size_t>(body[0].format.font)],
              (FontFace{"Arial", 0, 0x22}));
    EXPECT_TRUE(body[1].format.underline);
    EXPECT_TRUE(body[1].format.hasColor);
    EXPECT_EQ(body[1].format.color, (Rgb{0, 0, 255}));
    // A font without a name takes its alternative; charset unknown is written as 0.
    EXPECT_EQ(document.fonts[static_cast<std::size_t>(body[3].format.font)],
              (FontFace{"Courier", 0, 0x31}));
    EXPECT_EQ(body[3].format.color, (Rgb{255, 0, 0}));
    EXPECT_FALSE(body[4].format.hasColor); // an empty colour table entry is automatic
    EXPECT_TRUE(body[5].format.strike);    // a style based on itself still applies once
}

TEST(TextRtfReaderTables, TheDocumentsFontsAreThoseItsTextUsesInOrderOfFirstUse) {
    // A byte that decodes to nothing, a SYMBOL field of no character and a Word 6 list label
    // in its own font put no text in the font in force there.
    auto document = ReadRtf(Doc("{\\f1\\'01}{\\f2{\\field{\\*\\fldinst SYMBOL 1 \\\\f "
                                "\"Wingdings\"}{\\fldrslt}}}"
                                "{\\f4{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb \\'b7}}}\\f0 text\\par"));
    EXPECT_EQ(document.fonts, (std::vector<FontFace>{{"Symbol", 2, 0x00}, {"Arial", 0, 0x20}}));
    EXPECT_EQ(WritePlainText(document), "\u2022\ttext");
}

TEST(TextRtfReaderDestinations, OnlyDocumentTextIsRead) {
    std::string rtf =
        Doc("{\\info{\\title Not text}{\\author Nor this}}{\\*\\generator Word;}"
            "{\\header header}{\\footerr footer}"
            "{\\*\\bkmkstart mark}A{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}B"
            "{\\pict\\wmetafile8 0102ff}{\\object{\\*\\objdata 0102}{\\result shown}}"
            "{\\upr{ansi}{\\*\\ud{uni}}}"
            "{\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\" \\\\s 12}{\\fldrslt}}"
            "\\tab\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_"
            "\\emspace\\enspace");
    EXPECT_EQ(Plain(rtf), "AlinkBshownuniJ\t\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0"
                          "\u2011\u2003\u2002");
    // The character of a SYMBOL field is in the field's font.
    auto document = ReadRtf(rtf);
    bool wingdings = false;
    for (const auto& run : document.paragraphs[0].runs)
        if (run.text == "J")
            wingdings =
                document.fonts[static_cast<std::size_t>(run.format.font)].name == "Wingdings" &&
                document.fonts[static_cast<std::size_t>(run.format.font)].charset == 2;
    EXPECT_TRUE(wingdings);
}

TEST(TextRtfReaderDestinations, NotesKeepTheirNumberAndLoseTheirText) {
    std::string rtf =
        Doc("\\ftnnar\\aftnnrlc One{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} foot}"
            " two{\\super\\chftn}{\\footnote\\ftnalt\\pard end} three{\\super\\chftn}"
            "{\\footnote\\pard foot2} four{\\super\\chftn}{\\footnote\\ftnalt end2}\\par");
    EXPECT_EQ(Plain(rtf), "One1 twoi three2 fourii");
    auto document = ReadRtf(rtf);
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].runs[1].text, "1");
    EXPECT_EQ(document.paragraphs[0].runs[1].format.vertical, VerticalPosition::Superscript);
}

TEST(TextRtfReaderDestinations, HiddenTextIsKeptMarkedAndLeftOutOfThePlainText) {
    auto document = ReadRtf(Doc("shown {\\v hidden }again\\par"));
    EXPECT_EQ(WritePlainText(document), "shown again");
    EXPECT_EQ(WritePlainText(document, {.includeHidden = true}), "shown hidden again");
}

TEST(TextRtfReaderLists, ListTextIsTheLabelAndOldListsGetOne) {
    // The list text's own \pard does not reset the list paragraph's indents.
    auto document =
        ReadRtf(Doc("{\\listtext\\pard\\plain\\f3 \\'b7\\tab}\\fi-360\\li720 item\\par"));
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(WritePlainText(document), "\u2022\titem"); // symbol bullet as U+2022
    EXPECT_EQ(document.paragraphs[0].format.firstIndent, -360);
    EXPECT_EQ(document.paragraphs[0].format.leftIndent, 720);
    // Word 6 lists without list text: a label is made from the level's definition.
    std::string old =
        Doc("{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}one\\par"
            "{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}two\\par"
            "{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb \\'b7}}dot\\par"
            "{\\pntext 9)\\tab}{\\*\\pn\\pnlvlbody\\pndec}given\\par "
            "plain\\par{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart1{\\pntxtb (}{\\pntxta )}}again\\par");
    EXPECT_EQ(Plain(old), "3.\tone\n4.\ttwo\n\u2022\tdot\n9)\tgiven\nplain\n(i)\tagain");
}

TEST(TextRtfReaderTables, CellsRowsAndNestedTables) {
    std::string rtf =
        Doc("before\\par"
            "\\trowd\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl a\\cell b1\\par b2\\cell\\row"
            "\\pard\\intbl x\\cell"
            "\\pard\\intbl\\itap2 n1\\nestcell "
            "n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}"
            "\\pard\\intbl\\itap1 y\\cell\\row\\pard after\\par");
    auto document = ReadRtf(rtf);
    EXPECT_EQ(WritePlainText(document), "before\na\tb1\nb2\nx\tn1\tn2\ny\nafter");
    ASSERT_EQ(document.rows.size(), 2u);
    EXPECT_EQ(document.rows[0].left, -108);
    EXPECT_EQ(document.rows[0].cellRightEdges, (std::vector<int>{2000, 4000}));
    // The nested row's definition did not replace the outer row's.
    EXPECT_EQ(document.rows[1].cellRightEdges, (std::vector<int>{2000, 4000}));
    const auto& p = document.paragraphs;
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[1].end, ParagraphEnd::Cell);
    EXPECT_EQ(p[1].row, 0);
    EXPECT_EQ(p[2].end, ParagraphEnd::Paragraph);
    EXPECT_EQ(p[3].end, ParagraphEnd::Row);
    EXPECT_EQ(p[5].tableLevel, 2);
    EXPECT_EQ(p[5].end, ParagraphEnd::Cell);
    EXPECT_EQ(p[6].end, ParagraphEnd::Row);
    EXPECT_EQ(p[6].row, -1);
    EXPECT_EQ(p[7].row, 1);
    EXPECT_EQ(p[8].row, -1);
    EXPECT_EQ(p[8].tableLevel, 0);
}

TEST(TextRtfReaderParagraphs, FormattingBreaksAndTabStops) {
    auto document = ReadRtf(Doc("\\pard\\fi-360\\li720\\ri100\\sb120\\sa240\\qj\\tx1440\\tqr\\tx720"
                                "\\tqc\\tx1440\\tb300\\tx2000 one\\line two\\par\\sect\\page"
                                "\\pard three\\page four\\par"));
    ASSERT_EQ(document.paragraphs.size(), 3u);
    const auto& format = document.paragraphs[0].format;
    EXPECT_EQ(format.firstIndent, -360);
    EXPECT_EQ(format.leftIndent, 720);
    EXPECT_EQ(format.rightIndent, 100);
    EXPECT_EQ(format.spaceBefore, 120);
    EXPECT_EQ(format.spaceAfter, 240);
    EXPECT_EQ(format.alignment, Alignment::Justified);
    // Sorted, a repeated position replaced, a bar tab's kind not carried to the next stop.
    EXPECT_EQ(format.tabs, (std::vector<TabStop>{{720, TabAlignment::Right},
                                                 {1440, TabAlignment::Center},
                                                 {2000, TabAlignment::Left}}));
    EXPECT_EQ(document.paragraphs[0].runs[0].text, "one\ntwo");
    // Section and page breaks end a paragraph with text and add no empty one.
    EXPECT_EQ(WritePlainText(document), "one\ntwo\nthree\nfour");
    EXPECT_EQ(document.paragraphs[1].format, ParagraphFormat{});
}

} // namespace
