// Sheets laid out from the fixed items of tests/data/layout/items.mtext, compared with the
// layout recorded in tests/data/layout/NAME.layout: every text made (handle, location, width,
// heights, contents), every stored entry of the drawing afterwards, and what the command line
// showed.  A difference shows the first line that differs and leaves the whole layout in the
// build folder.  RIVLET_UPDATE_EXPECTED=1 writes the files from the layout of now instead, for
// review.
#include "storage_test_host.h"

#include "conversion/columnlayout.h"
#include "conversion/spinner.h"
#include "frame/doclock.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(RIVLET_SOURCE_DIR) / "tests" / "data" / "layout";
const fs::path kActual = fs::path(RIVLET_BINARY_DIR) / "layout-golden";

// The preferences' default sizes.
constexpr double kTextHeight = 0.25;
constexpr double kPlainTextHeight = 0.15;
constexpr double kItemGap = 0.25;
constexpr double kColumnGap = 0.5;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The items by name.  A converted item is cut into pieces, and stands for a source named after
// it; a plain one is its one piece and its own source.
std::map<std::string, CMtextRtf> LoadItems() {
    std::map<std::string, CMtextRtf> items;
    std::istringstream lines(ReadFile(kData / "items.mtext"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        const std::string kind = line.substr(0, space);
        const std::string name = space == std::string::npos ? "" : line.substr(space + 1);
        std::string content;
        std::getline(lines, content);
        CMtextRtf item;
        item.m_Name = name;
        if (kind == "plain") {
            item.m_Pieces.Add(content);
            item.m_Rtf = content;
            item.m_IsPlain = true;
        } else {
            EXPECT_EQ(kind, "item") << line;
            item.SplitContents(content);
            item.m_Rtf = "{\\rtf1 " + name + "}";
        }
        items[name] = item;
    }
    return items;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The spinner turns one frame per piece tried.  Its frames overwrite each other on the command
// line, so only the count modulo 4 shows.  A call sets the spinner to a known frame; how many
// frames it took tells how far the spinner turned since the call before.
int SpinnerTurnsSinceSync() {
    int turns = 0;
    while (std::string(NextSpinnerFrame()) != "\r\\")
        ++turns;
    return turns;
}

struct Sheet {
    const char* name;
    AcGePoint3d cornerA;
    AcGePoint3d cornerB;
    std::vector<const char*> items;
};

class LayoutGoldenTest : public StorageTest {
protected:
    // The layout of the sheet as the recorded files write it.
    std::string LayOut(const Sheet& sheet) {
        const std::map<std::string, CMtextRtf> all = LoadItems();
        CMtextRtfHolder items;
        for (const char* name : sheet.items) {
            auto found = all.find(name);
            EXPECT_NE(found, all.end()) << "no item " << name;
            if (found != all.end())
                items.Add(found->second);
        }
        Output();
        SpinnerTurnsSinceSync();
        int placed = 0;
        {
            CDocLock lock;
            placed = LayOutItems(sheet.cornerA, sheet.cornerA, sheet.cornerB, items, kTextHeight,
                                 kPlainTextHeight, kItemGap, kColumnGap);
        }
        std::string text = "placed " + std::to_string(placed) + "\n";
        text += "output\n" + Output() + "\n";
        text +=
            "pieces tried, modulo 4: " + std::to_string((7 - SpinnerTurnsSinceSync()) % 4) + "\n";
        for (const PlacedText& placedText : Texts()) {
            text += "text " + placedText.handle + " at " + Number(placedText.location.x) + " " +
                    Number(placedText.location.y) + " " + Number(placedText.location.z) +
                    " width " + Number(placedText.width) + " height " + Number(placedText.height) +
                    " actual " + Number(placedText.actualHeight) + "\n" + placedText.contents +
                    "\n";
        }
        for (const auto& [key, value] : SpecEntries())
            text += "entry " + key + "\n" + value + "\n";
        return text;
    }

    void Check(const Sheet& sheet) {
        const std::string actual = LayOut(sheet);
        const fs::path expectedFile = kData / (std::string(sheet.name) + ".layout");
        const char* update = std::getenv("RIVLET_UPDATE_EXPECTED");
        if (update && std::string(update) == "1") {
            std::ofstream(expectedFile, std::ios::binary) << actual;
            return;
        }
        ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
        const std::string expected = ReadFile(expectedFile);
        if (actual == expected)
            return;
        fs::create_directories(kActual);
        const fs::path actualFile = kActual / (std::string(sheet.name) + ".layout");
        std::ofstream(actualFile, std::ios::binary) << actual;
        std::istringstream a(actual), e(expected);
        std::string actualLine, expectedLine;
        int number = 1;
        while (true) {
            const bool moreActual = static_cast<bool>(std::getline(a, actualLine));
            const bool moreExpected = static_cast<bool>(std::getline(e, expectedLine));
            if (!moreActual || !moreExpected || actualLine != expectedLine) {
                ADD_FAILURE() << expectedFile << " line " << number
                              << "\n  expected: " << (moreExpected ? expectedLine : "(end)")
                              << "\n  laid out: " << (moreActual ? actualLine : "(end)")
                              << "\nthe whole layout: " << actualFile;
                return;
            }
            ++number;
        }
    }
};

// A box of the default size: the first item opens the first column, the sections run over
// several columns with their fonts and indents carried, items start below others and move on
// when not even their first piece fits.
TEST_F(LayoutGoldenTest, ASheetOfSectionsInATallBox) {
    Check({"tall_box",
           AcGePoint3d(0, 10, 0),
           AcGePoint3d(4, 0, 0),
           {"Opening.rtf", "DIVISION 03", "Section1.rtf", "Section2.rtf", "HangingIndent.rtf",
            "Submittals.rtf", "FontsAndSizes.rtf", "FirstLineIndents.rtf", "NoCodes.rtf",
            "Section3.rtf", "FontsOnly.rtf"}});
}

// A box two lines of paragraphs tall: cuts after nearly every piece, and pieces taller than
// the whole box, each kept alone in a column of its own.
TEST_F(LayoutGoldenTest, ASheetInAShortBox) {
    Check({"short_box",
           AcGePoint3d(0, 10, 0),
           AcGePoint3d(4, 8, 0),
           {"BreaksFirst.rtf", "Tall.rtf", "Opening.rtf", "Section2.rtf", "NoCodes.rtf",
            "Submittals.rtf", "FirstLineIndents.rtf", "FontsOnly.rtf", "HangingIndent.rtf"}});
}

// Items that open columns with their indent codes before any text, in a box picked from its
// lower right corner to its upper left one.
TEST_F(LayoutGoldenTest, ItemsOpeningWithTheirIndentCodes) {
    Check(
        {"indent_first",
         AcGePoint3d(10, 3, 0),
         AcGePoint3d(7, 5, 0),
         {"IndentFirst.rtf", "LabelFirst.rtf", "Tall.rtf", "BreaksFirst.rtf", "IndentFirst.rtf"}});
}

// A numbered label before the first code of the first item, at the top of the box.
TEST_F(LayoutGoldenTest, AnItemOpeningWithALabel) {
    Check({"label_first",
           AcGePoint3d(0, 2, 0),
           AcGePoint3d(3, 0, 0),
           {"LabelFirst.rtf", "IndentFirst.rtf"}});
}

} // namespace
