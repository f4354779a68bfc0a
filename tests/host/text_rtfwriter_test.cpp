// The Rich Text writer on documents built by hand and read from small RTF: what it writes
// reads back as the same document, in 7-bit text, with the words other readers know.
#include "text/plaintextwriter.h"
#include "text/rtfreader.h"
#include "text/rtfwriter.h"
#include "text_document_diff.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace cadhost::text;

// Writes the document, checks that the output is 7-bit text that reads back as the same
// document, and returns the output.
std::string RoundTrip(const TextDocument& document) {
    std::string rtf = WriteRtf(document);
    for (char c : rtf)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ADD_FAILURE() << "a byte outside ASCII in " << rtf;
            break;
        }
    EXPECT_EQ(text_test::FirstDifference(document, ReadRtf(rtf)), "") << rtf;
    return rtf;
}

std::string RoundTrip(const std::string& rtf) {
    return RoundTrip(ReadRtf(rtf));
}

CharFormat In(int font) {
    CharFormat format;
    format.font = font;
    return format;
}

TextDocument OneParagraph(std::vector<Run> runs,
                          std::vector<FontFace> fonts = {DefaultFontFace()}) {
    TextDocument document;
    document.fonts = std::move(fonts);
    Paragraph paragraph;
    paragraph.runs = std::move(runs);
    document.paragraphs.push_back(std::move(paragraph));
    return document;
}

std::string Doc(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\froman\\fprq2\\fcharset204 Times Cyr;}{\\f2\\fnil\\fcharset2 Symbol;}"
           "{\\f3\\fmodern\\fprq1\\fcharset128 \\'82\\'6c\\'82\\'72 Mincho;}"
           "{\\f4\\fscript\\fcharset0 Caf\\'e9 Script;}{\\f5\\fdecor\\fcharset238 Deco CE;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green128\\blue255;}" +
           body + "}";
}

TEST(RtfWriterDocument, EmptyDocumentAndDefaultSize) {
    TextDocument empty;
    std::string rtf = RoundTrip(empty);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl")) << rtf;
    EXPECT_NE(rtf.find("\\viewkind4\\uc1"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("\\par"), std::string::npos) << rtf; // no paragraph: none is made up
    EXPECT_TRUE(ReadRtf(rtf).paragraphs.empty());

    // The size of text that sets none survives, and so does text of that size.
    auto sized = ReadRtf("{\\rtf1{\\*\\defchp\\fs18}{\\fonttbl{\\f0 Arial;}}small\\par\\fs36 "
                         "big\\par\\plain again\\par}");
    ASSERT_EQ(sized.defaultHalfPoints, 18);
    RoundTrip(sized);
    // Empty paragraphs and a last paragraph without its mark keep their place.
    RoundTrip("{\\rtf1\\par\\par\\pard\\qc\\par last}");
}

TEST(RtfWriterText, SyntaxCharactersBreaksAndSpacesAreEscaped) {
    auto document = OneParagraph(
        {{In(0), "{a\\b} \ttab\nline\u00A0nb\u2011hy 1 -2 "}, {In(0), " space after a word"}});
    document.paragraphs[0].runs[1].format.bold = true;
    std::string rtf = RoundTrip(document);
    EXPECT_NE(rtf.find("\\{a\\\\b\\} \\tab tab\\line line\\~nb\\_hy 1 -2 \\b  space"),
              std::string::npos)
        << rtf;
    // Text that starts with a digit or a minus sign is not read as a word's parameter.
    CharFormat italic;
    italic.italic = true;
    RoundTrip(OneParagraph({{In(0), "x"}, {italic, "-12 and 3"}}));
}

TEST(RtfWriterText, CharactersOutsideAsciiTakeTheFontsCodePageOrUnicode) {
    std::vector<FontFace> fonts = {{"Arial", 0, 0x22},
                                   {"Times Cyr", 204, 0x12},
                                   {"Symbol", 2, 0x00},
                                   {"MS Mincho", 128, 0x31}};
    // 1252 has é, €, — and ÿ as bytes; Cyrillic, CJK and the emoji need \u, even where a
    // Cyrillic font's own code page would have them (the reader decodes bytes in it).
    auto document = OneParagraph({{In(0), "caf\u00E9 \u20AC\u2014\u00FF \u041F\u0440 \u6F22 "
                                          "\U0001F600 \uFFFD"},
                                  {In(1), "\u041F\u0440\u0438 caf\u00E9"},
                                  {In(2), "\uF061\uF0B7\uF07B\uF05C a\u03B1"},
                                  {In(3), "\u3042\u9082 ok"}},
                                 fonts);
    std::string rtf = RoundTrip(document);
    EXPECT_NE(rtf.find("caf\\'e9 \\'80\\'97\\'ff \\u1055?\\u1088? \\u28450? "
                       "\\u-10179?\\u-8704? \\u-3?"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\u1055?\\u1088?\\u1080? caf\\u233?"), std::string::npos) << rtf;
    // A symbol font's glyphs are its bytes; other characters in it are Unicode.
    EXPECT_NE(rtf.find("a\\'b7\\'7b\\'5c\\u32?\\u97?\\u945?"), std::string::npos) << rtf;
    // Private-use characters outside a symbol font are characters like any other.
    RoundTrip(OneParagraph({{In(0), "\uF0B7\uF000\uE000"}}));
    // Characters the reader's code page tables decode are written back the same way.
    RoundTrip(Doc("\\'80\\'8a\\'9f\\'a0\\'ad{\\f1 \\'c0\\'ff}{\\f3 \\'82\\'a0\\'93@}"
                  "{\\f5 \\'b9\\'e6}{\\f2 \\'21\\'7f\\'ff}"));
}

TEST(RtfWriterFonts, TheFontTableKeepsNamesCharsetsPitchesAndFamilies) {
    auto document = ReadRtf(Doc("a{\\f1 b}{\\f2 c}{\\f3 d}{\\f4 e}{\\f5 f}\\par"));
    ASSERT_EQ(document.fonts.size(), 6u);
    std::string rtf = RoundTrip(document);
    EXPECT_NE(rtf.find("{\\f1\\froman\\fprq2\\fcharset204 Times Cyr;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f3\\fmodern\\fprq1\\fcharset128 \\u-211?\\u-205? Mincho;}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("{\\f4\\fscript\\fcharset0 Caf\\'e9 Script;}"), std::string::npos) << rtf;
    // A document without fonts still has a font table for the text it does not have.
    TextDocument none;
    EXPECT_NE(WriteRtf(none).find("{\\fonttbl{\\f0"), std::string::npos);
}

TEST(RtfWriterFormatting, EveryCharacterPropertyOnAndOff) {
    auto document = ReadRtf(Doc("plain {\\b bold}{\\i italic}{\\ul under}{\\strike struck}"
                                "{\\v hidden}{\\cf1 red}{\\cf2 black}{\\cf3 blue}{\\super sup}"
                                "{\\sub sub}{\\fs48 big}{\\f1\\fs16\\b\\i\\ul\\strike\\v\\cf3\\sub "
                                "all}{\\cf0 auto} plain\\par"));
    ASSERT_EQ(document.paragraphs.size(), 1u);
    ASSERT_EQ(document.paragraphs[0].runs.size(), 14u);
    std::string rtf = RoundTrip(document);
    // The colour table holds the colours used, automatic first; black is a colour of its own.
    EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green128"
                       "\\blue255;}"),
              std::string::npos)
        << rtf;
    for (const char* word :
         {"\\b bold\\b0", "\\i italic\\i0", "\\ul under\\ulnone", "\\strike struck\\strike0",
          "\\v hidden\\v0", "\\cf1 red\\cf2 black", "\\super sup\\sub sub\\fs48\\nosupersub big",
          "big\\f1\\fs16\\b\\i\\ul\\strike\\v\\cf3\\sub all"})
        EXPECT_NE(rtf.find(word), std::string::npos) << word << " in " << rtf;
    // Formatting carries from paragraph to paragraph without being written again.
    auto carried = ReadRtf(Doc("\\b one\\par two\\par\\b0 three\\par"));
    rtf = RoundTrip(carried);
    EXPECT_EQ(rtf.find("\\b", rtf.find("\\b one") + 1), rtf.find("\\b0 three")) << rtf;
}

TEST(RtfWriterFormatting, ParagraphIndentsSpacingAlignmentAndTabStops) {
    auto document =
        ReadRtf(Doc("\\pard\\fi-360\\li720\\ri100\\sb120\\sa240\\qj\\tx300\\tqc\\tx1440\\tqr"
                    "\\tx2880\\tqdec\\tx4000 one\\tab two\\par same format\\par"
                    "\\pard\\qc centred\\par\\pard\\qr right\\par\\pard\\fi360 first\\par"
                    "\\pard\\li-200 negative\\par\\pard\\ql left\\par"));
    ASSERT_EQ(document.paragraphs.size(), 7u);
    std::string rtf = RoundTrip(document);
    EXPECT_NE(rtf.find("\\pard\\fi-360\\li720\\ri100\\sb120\\sa240\\qj\\tx300\\tqc\\tx1440\\tqr"
                       "\\tx2880\\tqdec\\tx4000\\f0\\fs24 one\\tab two\\par\r\nsame format\\par"),
              std::string::npos)
        << rtf;
}

TEST(RtfWriterTables, RowsCellsAndTheirGeometry) {
    std::string rtf = RoundTrip(
        Doc("before\\par\\trowd\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl a\\cell b1\\par "
            "b2\\cell\\row\\trowd\\cellx3000\\pard\\intbl\\qc\\cell\\row"
            "\\trowd\\cellx100\\cellx200\\intbl x\\cell y\\par\\row\\pard after\\par"));
    EXPECT_NE(rtf.find("\\trowd\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl a\\cell b1\\par"),
              std::string::npos)
        << rtf;
    // Rows that hold no paragraph, at the start, between rows and at the end; cells after
    // the last row; a row whose last cell is a paragraph outside the table.
    RoundTrip(Doc("\\trowd\\cellx500\\row a\\par\\trowd\\cellx700\\row\\trowd\\cellx900\\row"
                  "\\trowd\\cellx1000\\intbl b\\cell c\\cell\\row\\trowd\\cellx1100\\row"
                  "\\intbl loose\\cell\\pard\\intbl open\\par"));
    RoundTrip(Doc("\\trowd\\cellx1000\\intbl a\\cell\\pard outside\\par\\row"
                  "\\trowd\\cellx2000\\intbl b\\cell\\row"));
}

TEST(RtfWriterTables, NestedTablesKeepTheirLevelsAndRows) {
    std::string rtf = RoundTrip(
        Doc("\\trowd\\cellx4000\\cellx8000\\pard\\intbl x\\cell"
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\par n2b\\nestcell"
            "{\\*\\nesttableprops\\trowd\\cellx500\\cellx900\\nestrow}"
            "\\pard\\intbl\\itap2 m1\\nestcell"
            "\\pard\\intbl\\itap3 deep\\nestcell{\\*\\nesttableprops\\trowd\\cellx1\\nestrow}"
            "\\pard\\intbl\\itap2 m2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1\\nestrow}"
            "\\pard\\intbl\\itap1 y\\cell\\row"
            // The row ends right after a nested row: its last cell stays a cell.
            "\\trowd\\cellx4000\\pard\\intbl z\\cell\\pard\\intbl\\itap2 q\\nestcell"
            "{\\*\\nesttableprops\\trowd\\cellx1\\nestrow}\\row\\pard after\\par"));
    // Each nested row says how many cells it has.
    EXPECT_NE(rtf.find("n2b\\nestcell{\\*\\nesttableprops\\trowd\\cellx1440\\cellx2880\\nestrow}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("m2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1440\\cellx2880\\nestrow}"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(WritePlainText(ReadRtf(rtf)), "x\tn1\tn2\nn2b\nm1\tdeep\nm2\ny\nz\tq\nafter");
}

TEST(RtfWriterDocument, HandBuiltDocumentsOfManyRunsAndParagraphs) {
    // A document whose formatting changes at every run, in every combination.
    TextDocument document;
    document.fonts = {{"Arial", 0, 0x22}, {"Courier New", 0, 0x31}, {"Symbol", 2, 0x12}};
    for (int i = 0; i < 256; ++i) {
        Paragraph paragraph;
        paragraph.format.leftIndent = (i % 7) * 100;
        paragraph.format.alignment = static_cast<Alignment>(i % 4);
        for (int j = 0; j < 8; ++j) {
            int bits = i * 8 + j;
            CharFormat f;
            f.font = bits % 3;
            f.halfPoints = 16 + bits % 5 * 4;
            f.bold = bits & 1;
            f.italic = bits & 2;
            f.underline = bits & 4;
            f.strike = bits & 8;
            f.hidden = bits & 16;
            f.hasColor = bits & 32;
            if (f.hasColor)
                f.color = Rgb{static_cast<std::uint8_t>(bits % 251), 0, 200};
            f.vertical = static_cast<VerticalPosition>(bits % 3);
            std::string text = f.font == 2 ? "\uF061\uF062" : "w" + std::to_string(bits);
            if (!paragraph.runs.empty() && paragraph.runs.back().format == f)
                paragraph.runs.back().text += text;
            else
                paragraph.runs.push_back({f, text});
        }
        document.paragraphs.push_back(std::move(paragraph));
    }
    RoundTrip(document);
}

} // namespace
