// The tag layer, the code pages and the section structure of DXF files.
#include "db/dxf/codepage.h"
#include "db/dxf/structure.h"
#include "db/dxf/tagdelta.h"
#include "db/dxf/tags.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

using namespace cadhost::db::dxf;

namespace {

Tags MustRead(const std::string& text) {
    Tags tags;
    std::string error;
    EXPECT_TRUE(ReadTags(text, tags, error)) << error;
    return tags;
}

std::string StructureError(const std::string& text) {
    Tags tags = MustRead(text);
    FileStructure file;
    std::string error;
    EXPECT_FALSE(SplitSections(tags, file, error));
    return error;
}

} // namespace

TEST(DxfTags, LinesOfEitherEndingWithPaddedCodesKeepTheirValuesAndLineNumbers) {
    Tags tags = MustRead("  0\r\nSECTION\r\n  2\nHEADER\n999\n trailing blank \n");
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0].code, 0);
    EXPECT_EQ(tags[0].value, "SECTION") << "the CR of CR LF is no part of the value";
    EXPECT_EQ(tags[1].line, 3);
    EXPECT_EQ(tags[2].value, " trailing blank ") << "blanks of a text value are kept";
    EXPECT_EQ(MustRead("  0\nSECTION\r\r\r\n")[0].value, "SECTION")
        << "a value read back from its line is the value written there";
}

TEST(DxfTags, ABrokenCodeOrACutValueNamesItsLine) {
    Tags tags;
    std::string error;
    EXPECT_FALSE(ReadTags("  0\nSECTION\n  x\nHEADER\n", tags, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
    EXPECT_FALSE(ReadTags("  0\nSECTION\n  2\n", tags, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
    EXPECT_FALSE(ReadTags("99999\nX\n", tags, error)) << "group codes are 16-bit";
}

TEST(DxfTags, CodesAreRightAlignedAndRealsReadBackExactly) {
    std::string out;
    AppendTag(out, 0, "LINE");
    AppendTag(out, 1001, "APP");
    EXPECT_EQ(out, "  0\nLINE\n1001\nAPP\n");
    for (double v : {0.1, 1.0 / 3.0, -1e-300, 12345678.9, 1e20}) {
        double back = 0.0;
        ASSERT_TRUE(ParseReal(FormatReal(v), back));
        EXPECT_EQ(back, v) << FormatReal(v);
    }
    EXPECT_EQ(FormatReal(2.0), "2.0");
    double value = 0.0;
    EXPECT_TRUE(ParseReal("  +2.5 ", value));
    EXPECT_FALSE(ParseReal("2,5", value));
    long long integer = 0;
    EXPECT_FALSE(ParseInteger("7x", integer));
}

TEST(DxfTags, TheScannerSeesEachTagWhereItLiesAndKnowsTheWritersForm) {
    const std::string text = "  0\nSECTION\n2\nHEADER\n  9\r\n$ACADVER\r\n  1\nAC1018";
    TagScanner scanner(text);
    TagView tag;
    ASSERT_TRUE(scanner.next(tag));
    EXPECT_TRUE(tag.is(0, "SECTION"));
    EXPECT_EQ(tag.line, 1);
    EXPECT_EQ(tag.value.data(), text.data() + 4) << "the value is a view into the text";
    EXPECT_TRUE(scanner.inWriterForm());
    EXPECT_EQ(scanner.tagStart(), 0u);
    EXPECT_EQ(scanner.position(), 12u);
    ASSERT_TRUE(scanner.next(tag));
    EXPECT_TRUE(tag.is(2, "HEADER"));
    EXPECT_FALSE(scanner.inWriterForm()) << "AppendTag pads the code to three columns";
    ASSERT_TRUE(scanner.next(tag));
    EXPECT_TRUE(tag.is(9, "$ACADVER"));
    EXPECT_FALSE(scanner.inWriterForm()) << "CR LF is not what AppendTag writes";
    ASSERT_TRUE(scanner.next(tag));
    EXPECT_TRUE(tag.is(1, "AC1018"));
    EXPECT_EQ(tag.line, 7);
    EXPECT_FALSE(scanner.inWriterForm()) << "the last value has no line end";
    EXPECT_FALSE(scanner.next(tag));
    EXPECT_FALSE(scanner.failed());
    EXPECT_EQ(scanner.lines(), 8);

    // Every way a code may be written is the writer's form exactly when AppendTag writes it so.
    for (std::string code :
         {"  0",  "0",     "00",    "000", " 10", "10",   "010", "  10", "100",  "0100", " 100",
          "1001", "01001", "10000", " -5", "-5",  "  -5", "+5",  "  +5", "  5 ", " 9\t", "\t 9"}) {
        const std::string line = code + "\nX\n";
        TagScanner one(line);
        ASSERT_TRUE(one.next(tag)) << code;
        std::string written;
        AppendTag(written, tag.code, "X");
        EXPECT_EQ(one.inWriterForm(), written == line) << '"' << code << '"';
    }

    TagScanner broken("  0\nSECTION\n -x\nA\n");
    ASSERT_TRUE(broken.next(tag));
    EXPECT_FALSE(broken.next(tag));
    EXPECT_TRUE(broken.failed());
    EXPECT_EQ(broken.error().rfind("line 3: group code expected", 0), 0u) << broken.error();
}

TEST(DxfTags, CodesAndRealsFormatIntoBuffersAsTheStringFormsDo) {
    char buffer[32];
    for (int code : {0, 5, 10, 100, 999, 1001, -5, -100, 32767, -32768}) {
        std::string out;
        AppendTag(out, code, "");
        EXPECT_EQ(std::string(buffer, FormatCode(code, buffer)) + "\n\n", out) << code;
    }
    EXPECT_EQ(std::string(buffer, FormatCode(7, buffer)), "  7");
    for (double v :
         {0.0, -0.0, 2.0, -100.0, 0.15, 1e300, -1.5e-300, 1.0 / 3.0, double(INFINITY), double(NAN)})
        EXPECT_EQ(std::string(buffer, FormatReal(v, buffer)), FormatReal(v)) << v;
    EXPECT_EQ(FormatReal(-0.0), "-0.0");
    EXPECT_EQ(FormatReal(1e20), "1e+20");
}

TEST(DxfTags, PlainDecimalsReadToTheSameBitsAsAFullConversion) {
    // Decimals of every length up to and past 15 digits, the point anywhere, either sign.
    std::mt19937_64 random(12);
    int compared = 0;
    for (int n = 0; n < 200000; ++n) {
        const int digits = 1 + static_cast<int>(random() % 18);
        std::string text = random() % 2 ? "-" : "";
        for (int i = 0; i < digits; ++i)
            text += static_cast<char>('0' + random() % 10);
        if (const int point = static_cast<int>(random() % (digits + 1)); point < digits)
            text.insert(text.size() - static_cast<std::size_t>(digits - point), ".");
        if (text.back() == '.' || text.front() == '.' || text.starts_with("-."))
            continue;
        double expected = 0.0, read = 0.0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
        ASSERT_TRUE(ParseReal(text, read)) << text;
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0)
            << text << " read as " << read << ", not " << expected;
        ++compared;
    }
    EXPECT_GT(compared, 150000);
    double zero = 1.0;
    ASSERT_TRUE(ParseReal("-0.0", zero));
    EXPECT_TRUE(std::signbit(zero)) << "the sign of a negative zero stays";
}

TEST(DxfTags, NumberTextIsWhatParseRealTakes) {
    for (const char* text :
         {"1",
          "-1.5",
          "1.",
          ".5",
          "-.5",
          "-",
          ".",
          "",
          " 1",
          "1 ",
          "+1",
          "1e5",
          "-1E-5",
          "nan",
          "inf",
          "0x1",
          "1.2.3",
          "--1",
          "123456789012345",
          "1234567890123456",
          "-0.12345678901234567",
          "123456789012345678901234567890",
          "0.00000000000000000000000000001",
          "0.000000000000000000000000000001",
          "99999999999999999999999999999999999999999999999999999999999999999999999999999999999"
          "99999999999999999999999999999999999999999999999999999999999999999999999999999999999"
          "99999999999999999999999999999999999999999999999999999999999999999999999999999999999"
          "99999999999999999999999999999999999999999999999999999999999999999999999999999999999",
          "1e999",
          "0.000000000000000000001",
          "12,5",
          "1\r",
          "     0",
          " \t-12.5\t \r",
          "+-1",
          "-+1",
          "  +",
          "   - 1"}) {
        double value = 0.0;
        EXPECT_EQ(IsNumberText(text), ParseReal(text, value)) << "\"" << text << "\"";
    }
}

TEST(DxfTags, ALayoutOfTagsReadsBackAsTheSameTags) {
    Tags tags{{0, "LINE", 3},         {5, "2F", 5},          {-3, "", 0},
              {1, "ends in CR\r", 0}, {1071, " blanks ", 0}, {3, std::string(300, 'x'), 0}};
    std::string layout;
    AppendTags(layout, tags);
    std::string expected;
    for (const Tag& tag : tags)
        AppendTag(expected, tag.code, tag.value);
    EXPECT_EQ(layout, expected) << "the layout is the text a file holds for the tags";
    EXPECT_TRUE(IsPlainLayout(layout));
    EXPECT_EQ(TagsOfLayout(layout), tags);
    EXPECT_TRUE(TagsOfLayout("").empty());
    EXPECT_EQ(TagsOfLayout("  0\nLINE\n  8\n").size(), 1u) << "a cut tag is no tag";

    // A code page file's \U+000A decodes to a line feed inside a value.
    tags.push_back({1, "two\nlines", 0});
    tags.push_back({1, "\x01n and \x01\x01 \x01", 0});
    std::string escaped;
    AppendTags(escaped, tags);
    EXPECT_FALSE(IsPlainLayout(escaped));
    EXPECT_EQ(TagsOfLayout(escaped), tags) << "line feeds and escape bytes come back";
}

TEST(DxfTags, ADeltaMakesTheTagsReadOutOfTheTagsFiledOut) {
    auto laid = [](const Tags& tags) {
        std::string out;
        AppendTags(out, tags);
        return out;
    };
    const std::string text(600, 't');
    // What an object files out, and what other writers put in the file for it: fewer
    // groups, a reactor group more, a value of their own, another order.
    const std::string filed = laid({{5, "2F"},
                                    {330, "17"},
                                    {100, "AcDbEntity"},
                                    {8, "0"},
                                    {100, "AcDbMText"},
                                    {10, "0.0"},
                                    {20, "0.0"},
                                    {30, "0.0"},
                                    {72, "1"},
                                    {1, text},
                                    {210, "0.0"},
                                    {220, "0.0"},
                                    {230, "1.0"}});
    const std::string cases[] = {
        filed,
        laid({{5, "2F"},
              {330, "17"},
              {100, "AcDbEntity"},
              {8, "0"},
              {100, "AcDbMText"},
              {10, "0.0"},
              {20, "0.0"},
              {30, "0.0"},
              {1, text}}),
        laid({{5, "2F"},
              {102, "{ACAD_REACTORS"},
              {330, "17"},
              {102, "}"},
              {330, "17"},
              {100, "AcDbEntity"},
              {8, "0"},
              {100, "AcDbMText"},
              {10, "0.0"},
              {20, "0.0"},
              {30, "0.0"},
              {72, "1"},
              {1, text},
              {210, "0.0"},
              {220, "0.0"},
              {230, "1.0"}}),
        laid({{5, "2F"},
              {330, "17"},
              {100, "AcDbEntity"},
              {8, "WALLS"},
              {62, "3"},
              {100, "AcDbMText"},
              {10, "0.0"},
              {20, "-0.0"},
              {30, "0.0"},
              {1, text},
              {230, "1.0"},
              {999, "a note at the end"}}),
        laid({{1, text}, {5, "2F"}}),
    };
    for (const std::string& read : cases) {
        std::string delta = TagDelta(filed, read);
        ASSERT_FALSE(delta.empty()) << read.substr(0, 40);
        EXPECT_LT(delta.size(), 200u) << "the long text is copied, not kept again";
        std::string made;
        ASSERT_TRUE(ApplyTagDelta(filed, delta, made));
        EXPECT_EQ(made, read);
    }
    EXPECT_TRUE(TagDelta(filed, laid({{1, "nothing alike"}})).empty())
        << "no delta where a copy is as short";
    std::string made;
    EXPECT_FALSE(ApplyTagDelta("  0\nLINE\n", TagDelta(filed, cases[1]), made))
        << "changes made from other tags do not fit";
}

TEST(DxfCodePage, Cp1252AndEscapesBecomeUtf8AndGoBack) {
    EXPECT_EQ(DecodeCodePage("\x80 caf\xE9", "ANSI_1252"), "\u20AC caf\u00E9");
    EXPECT_EQ(DecodeCodePage("\\U+4E2D\\u+6587", "ANSI_1252"), "\u4E2D\u6587");
    EXPECT_EQ(DecodeCodePage("\\U+12", "ANSI_1252"), "\\U+12") << "a short escape is text";
    EXPECT_EQ(EncodeCodePage("\u20AC caf\u00E9", "ANSI_1252"), "\x80 caf\xE9");
    EXPECT_EQ(EncodeCodePage("\u4E2D", "ANSI_1252"), "\\U+4E2D");
    std::string emoji = "\U0001F600";
    EXPECT_EQ(EncodeCodePage(emoji, "ANSI_1252"), "\\U+D83D\\U+DE00");
    EXPECT_EQ(DecodeCodePage(EncodeCodePage(emoji, "ANSI_1252"), "ANSI_1252"), emoji);
    EXPECT_EQ(EncodeCodePage("a\xFF", "ANSI_1252"), "a\\U+00FF") << "bytes that are no UTF-8";
}

TEST(DxfCodePage, OtherCodePagesComeBackByteForByte) {
    std::string bytes;
    for (int b = 0x20; b < 0x100; ++b)
        bytes += static_cast<char>(b);
    std::string text = DecodeCodePage(bytes, "dos850");
    EXPECT_EQ(EncodeCodePage(text, "dos850"), bytes);
    EXPECT_FALSE(IsUnicodeVersion("AC1018"));
    EXPECT_TRUE(IsUnicodeVersion("AC1021"));
}

TEST(DxfCodePage, DecodingChangesSaysSoForEveryTextThatDecodingChanges) {
    // Every place of an escape or a high byte in a word of eight, and the words around it.
    // Text without either always stays as it is, backslashes and all.
    const std::vector<std::pair<std::string, bool>> pieces = {
        {"\\U+00E9", true}, {"\\u+4e2d", true},  {"\xE9", true}, {"\x80", true}, {"\\U+D83D", true},
        {"\\U+12", false},  {"\\U+XYZW", false}, {"\\P", false}, {"\\\\", false}};
    for (const auto& [piece, escape] : pieces) {
        for (std::size_t before : {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,  12, 13,
                                   14, 15, 16, 17, 31, 32, 33, 63, 64, 65, 70, 127, 128}) {
            for (std::size_t after : {0, 1, 5, 9}) {
                std::string text = std::string(before, 'a') + piece + std::string(after, 'x');
                const bool changes = DecodeCodePage(text, "ANSI_1252") != text;
                EXPECT_EQ(DecodingChanges(text), escape) << text;
                EXPECT_TRUE(DecodingChanges(text) || !changes) << text;
            }
        }
    }
    EXPECT_FALSE(DecodingChanges(""));
    EXPECT_FALSE(DecodingChanges("{\\fArial|b1;Walls}\\P plain text of forty bytes or so"));
}

TEST(DxfStructure, SectionsSplitIntoRecords) {
    Tags tags = MustRead("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n"
                         "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n0\nCIRCLE\n0\nENDSEC\n0\nEOF\n");
    FileStructure file;
    std::string error;
    ASSERT_TRUE(SplitSections(tags, file, error)) << error;
    ASSERT_EQ(file.sections.size(), 2u);
    EXPECT_EQ(HeaderValue(file.sections[0].header, "$ACADVER"), "AC1018");
    ASSERT_EQ(file.find("ENTITIES")->records.size(), 2u);
    EXPECT_EQ(file.find("ENTITIES")->records[0].tags.size(), 1u);
    EXPECT_EQ(file.find("ENTITIES")->records[1].line, 19);
}

TEST(DxfStructure, BrokenStructuresAreRefusedAtTheirLine) {
    EXPECT_EQ(StructureError("0\nSECTION\n2\nENTITIES\n0\nLINE\n"),
              "line 7: the file ends inside the ENTITIES section (it is cut short)");
    EXPECT_EQ(StructureError("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"),
              "line 7: the file ends without EOF (it is cut short)");
    EXPECT_EQ(StructureError("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nENDSEC\n0\nEOF\n")
                  .rfind("line 7: SECTION expected", 0),
              0u);
    EXPECT_EQ(StructureError("0\nSECTION\n2\nA\n0\nSECTION\n2\nB\n0\nENDSEC\n0\nEOF\n"),
              "line 5: SECTION inside the A section (ENDSEC missing)");
    EXPECT_EQ(StructureError("0\nSECTION\n2\nOBJECTS\n5\nAB\n0\nENDSEC\n0\nEOF\n")
                  .rfind("line 5: group 0 expected", 0),
              0u);
}

TEST(DxfTags, AFileBeginsAsDxfWithASectionAfterAnyComments) {
    EXPECT_TRUE(BeginsAsDxf("  0\nSECTION\n  2\nHEADER\n"));
    EXPECT_TRUE(BeginsAsDxf("\xEF\xBB\xBF"
                            "999\r\nmade by hand\r\n 0 \r\nSECTION \r\n"));
    EXPECT_TRUE(BeginsAsDxf("999\none\n999\ntwo\n  0\nSECTION"));
    EXPECT_FALSE(BeginsAsDxf(""));
    EXPECT_FALSE(BeginsAsDxf("999\nonly a comment\n"));
    EXPECT_FALSE(BeginsAsDxf("  0\nEOF\n"));
    EXPECT_FALSE(BeginsAsDxf("{\\rtf1 0\nSECTION}"));
    EXPECT_FALSE(BeginsAsDxf("SECTION\n  0\n"));
}
