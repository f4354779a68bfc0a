// The catalogue's text rules: plain names of MText headings, the catalogue file's lines, the
// editor's text, and the lookup of an entry's division.
#include "specsheet/divisions.h"
#include "specsheet/divisiontext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kTitles[] = {"DIVISION 0 - AGREEMENTS",
                               "DIVISION 1 - BASIC REQUIREMENTS",
                               "DIVISION 2 - SITE CONSTRUCTION",
                               "DIVISION 3 - CONCRETE",
                               "DIVISION 4 - MASONRY",
                               "DIVISION 5 - METALS",
                               "DIVISION 6 - WOOD AND PLASTICS",
                               "DIVISION 7 - THERMAL & MOISTURE PROTECTION",
                               "DIVISION 8 - DOORS AND WINDOWS",
                               "DIVISION 9 - FINISHES",
                               "DIVISION 10 - SPECIALTIES",
                               "DIVISION 11 - EQUIPMENT",
                               "DIVISION 12 - FURNISHINGS",
                               "DIVISION 13 - SPECIAL CONSTRUCTION",
                               "DIVISION 14 - CONVEYING SYSTEMS",
                               "DIVISION 15 - MECHANICAL",
                               "DIVISION 16 - ELECTRICAL",
                               "DIVISION 17 - STRUCTURAL ELEMENTS"};

using Lists = std::vector<std::string>;

} // namespace

TEST(DivisionText, BuiltInHeadingsAreTitledAndReduceToTheirTitles) {
    EXPECT_EQ(BuiltInDivisionHeading(0),
              "{\\P\\fArial Black|b0|i0|c0|p34;\\L\\O\\C1;DIVISION 0 - AGREEMENTS}");
    EXPECT_EQ(BuiltInDivisionHeading(17),
              "{\\P\\fArial Black|b0|i0|c0|p34;\\L\\O\\C1;DIVISION 17 - STRUCTURAL ELEMENTS}");
    ASSERT_EQ(kBuiltInDivisionCount, std::size(kTitles));
    for (std::size_t i = 0; i < kBuiltInDivisionCount; ++i) {
        const std::string& heading = BuiltInDivisionHeading(i);
        EXPECT_TRUE(heading.starts_with("{\\P\\fArial Black|b0|i0|c0|p34;\\L\\O\\C1;")) << i;
        std::string plain = "left over";
        EXPECT_EQ(MTextToPlain(heading, plain), std::string(kTitles[i]).size()) << i;
        EXPECT_EQ(plain, kTitles[i]) << i;
    }
}

TEST(DivisionText, CodesEndAtTheirLetterOrAtASemicolon) {
    struct Case {
        const char* content;
        const char* plain;
    };
    const Case cases[] = {
        // Codes that end at their own letter vanish with it; case is ignored for \L and \O.
        {"\\PText\\P", "Text"},
        {"\\l\\o\\L\\Ounder\\l", "under"},
        {"\\PP", "P"},
        // \A is one of them, so its argument is left as text.
        {"\\A1;top", "1;top"},
        // Codes with arguments swallow everything up to and including the semicolon.
        {"\\pxqc,i1;Centred", "Centred"},
        {"\\fArial|b1|i0;Bold", "Bold"},
        {"\\H2.5x;\\W0.8;\\Q15;\\T1.1;\\S1/2;\\FTxt.shx;\\C3;x", "x"},
        {"\\fArial without end", ""},
        // Two codes open at once: the first semicolon ends the earlier one in the table.
        {"\\fArial\\C1;hidden;shown", "shown"},
        // Braces never reach the text, escaped or not.
        {"{a{b}c}", "abc"},
        {"\\{x\\}", "x"},
        {"a\\~b", "ab"},
        // A backslash before a letter that is no code goes, the letter stays; lower-case \c is
        // not \C.
        {"\\Xy\\N\\U+00B0", "XyNU+00B0"},
        {"\\c5;x", "c5;x"},
        {"end\\", "end"},
        // The second backslash of "\\" is read as a backslash again, so the escape code stays
        // open up to the next semicolon.
        {"a\\\\b;c", "ac"},
        // Bytes of UTF-8 text pass unchanged.
        {"\\C1;Gr\xC3\xB6\xC3\x9F"
         "e",
         "Gr\xC3\xB6\xC3\x9F"
         "e"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MTextToPlain(c.content), c.plain) << c.content;
}

TEST(DivisionText, FileLinesAreTrimmedAndLinesWithoutTextSkipped) {
    Lists headings{"old"}, names{"old"};
    DivisionsFromLines("  {\\C1;DIVISION A}\t\r\n"
                       "\r\n"
                       "   \t\n"
                       "{\\P\\C2;}\r\n"
                       "\tplain words  \r\n"
                       "lone\rreturn\n"
                       "last without end",
                       headings, names);
    EXPECT_EQ(headings,
              (Lists{"{\\C1;DIVISION A}", "plain words", "lone\rreturn", "last without end"}));
    EXPECT_EQ(names, (Lists{"DIVISION A", "plain words", "lone\rreturn", "last without end"}));

    DivisionsFromLines("\r\n \r\n\t\n", headings, names);
    EXPECT_TRUE(headings.empty());
    EXPECT_TRUE(names.empty());
}

TEST(DivisionText, EditorTextIsCutAfterEveryClosingBrace) {
    Lists headings, names;
    DivisionsFromItems("{\\C1;ONE}{\\C2;TWO}  text after the last brace", headings, names);
    EXPECT_EQ(headings, (Lists{"{\\C1;ONE}", "{\\C2;TWO}"}));
    EXPECT_EQ(names, (Lists{"ONE", "TWO"}));

    // Line ends inside an item are dropped; an item of codes only is no heading; a nested
    // group ends its heading early and what follows is an item of its own.
    DivisionsFromItems("  {\\C1;SPLIT\r\nACROSS}\r\n{\\P}\n{\\C1;OUTER {\\C2;INNER} REST}\r\n",
                       headings, names);
    EXPECT_EQ(headings, (Lists{"{\\C1;SPLITACROSS}", "{\\C1;OUTER {\\C2;INNER}", "REST}"}));
    EXPECT_EQ(names, (Lists{"SPLITACROSS", "OUTER INNER", "REST"}));

    DivisionsFromItems("no brace at all", headings, names);
    EXPECT_TRUE(headings.empty());
}

TEST(DivisionText, FileTextEndsEveryHeadingWithOneLineFeed) {
    EXPECT_EQ(DivisionFileText({"{A} \r\n", "\tB\t", "C"}), "{A}\n\tB\t\nC\n");
    EXPECT_EQ(DivisionFileText({}), "");

    // What the editor makes reads back from the file as it was.
    Lists headings, names;
    DivisionsFromItems(" {\\C1;A}\t{\\fX;B\r\n} {}", headings, names);
    Lists again, againNames;
    DivisionsFromLines(DivisionFileText(headings), again, againNames);
    EXPECT_EQ(again, headings);
    EXPECT_EQ(againNames, names);
}

TEST(DivisionTable, LookupTakesTheFirstNameThatStartsTheEntry) {
    DivisionTable table;
    table.ResetToDefaults();
    EXPECT_EQ(table.FindPrefixOf("DIVISION 10 - SPECIALTIES: toilet partitions"), 10);
    EXPECT_EQ(table.FindPrefixOf("DIVISION 1 - BASIC REQUIREMENTS"), 1);
    EXPECT_EQ(table.FindPrefixOf("DIVISION 1 - BASIC"), -1);
    EXPECT_EQ(table.FindPrefixOf("division 3 - concrete"), -1);
    EXPECT_EQ(table.FindPrefixOf(" DIVISION 3 - CONCRETE"), -1);

    table.ReplaceFromText("{AB}{A}{AB}");
    EXPECT_EQ(table.FindPrefixOf("ABC"), 0);
    EXPECT_EQ(table.FindPrefixOf("AC"), 1);
    EXPECT_EQ(table.FindPrefixOf(""), -1);
}

TEST(DivisionTable, ReadsOutsideTheTableGiveEmptyTexts) {
    DivisionTable table;
    table.ReplaceFromText("{\\C1;ONLY}");
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Heading(0), "{\\C1;ONLY}");
    EXPECT_EQ(table.Name(0), "ONLY");
    EXPECT_EQ(table.Heading(1), "");
    EXPECT_EQ(table.Name(-1), "");
    // Replacing the table by one of its own headings is safe.
    table.ReplaceFromText(table.Heading(0));
    EXPECT_EQ(table.Name(0), "ONLY");
}
