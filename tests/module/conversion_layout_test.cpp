// Laying items out as columns of MText in a box, with their records stored.
#include "storage_test_host.h"

#include "conversion/columnlayout.h"
#include "conversion/spinner.h"
#include "frame/doclock.h"
#include "storage/dictdata.h"
#include "storage/specrecord.h"

#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "arx/editor.h"

#include <map>

#include <set>
#include <string>
#include <vector>

namespace {

const char* const kFont = "\\fArial|b0|i0|c0|p34;";

class LayoutTest : public StorageTest {
protected:
    static CMtextRtf Item(const std::string& content, const std::string& name, bool plain = false) {
        CMtextRtf item;
        item.SplitContents(content);
        item.m_Name = name;
        item.m_Rtf = "{\\rtf1 " + name + "}";
        item.m_IsPlain = plain;
        return item;
    }

    // Lays the items out under a document lock, as a command would.
    int LayOut(const std::vector<CMtextRtf>& list, const AcGePoint3d& a, const AcGePoint3d& b) {
        CMtextRtfHolder holder;
        for (const CMtextRtf& item : list)
            holder.Add(item);
        CDocLock lock;
        return LayOutItems(a, a, b, holder, 0.25, 0.15, 0.25, 0.5);
    }

    static CSpecRecord Record(const char* key) {
        std::string value;
        EXPECT_TRUE(KSRxDictData::GetData(key, value)) << "record " << key;
        return CSpecRecord(value);
    }

    // The paragraphs "Paragraph <n> ..." in the order the texts show them.
    static std::vector<int> ParagraphNumbers(const std::vector<PlacedText>& texts) {
        std::vector<int> numbers;
        for (const PlacedText& text : texts) {
            std::size_t at = 0;
            while ((at = text.contents.find("Paragraph ", at)) != std::string::npos) {
                at += 10;
                numbers.push_back(std::stoi(text.contents.substr(at)));
            }
        }
        return numbers;
    }

    // An item of n paragraphs of one line each, under a font, a height and a hanging indent.
    static std::string Paragraphs(int n, int wordsEach = 3) {
        std::string content = std::string("{") + kFont + "\\H1x;\\pi-1,l1;";
        for (int i = 1; i <= n; ++i) {
            content += "\\PParagraph " + std::to_string(i);
            for (int w = 0; w < wordsEach; ++w)
                content += " word";
        }
        return content + "}";
    }
};

TEST_F(LayoutTest, ItemsThatFitAreStackedWithTheGapAndEachRecordIsStored) {
    {
        CDocLock lock;
        ASSERT_TRUE(KSRxDictData::SetData("7", "Old|1A|*{\\rtf1 old}"));
    }
    AcGePoint3d a(1, 10, 0), b(5, 0, 0);
    std::vector<CMtextRtf> items = {
        Item(std::string("{") + kFont + "Doors and frames}", "Doors.rtf"),
        Item("DIVISION 08", "DIVISION 08", true)};
    ASSERT_EQ(LayOut(items, a, b), 2);

    std::vector<PlacedText> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].contents, std::string("{") + kFont + "Doors and frames}");
    EXPECT_DOUBLE_EQ(texts[0].location.x, 1.0);
    EXPECT_DOUBLE_EQ(texts[0].location.y, 10.0);
    EXPECT_DOUBLE_EQ(texts[0].height, 0.25);
    EXPECT_GT(texts[0].actualHeight, 0.0);
    EXPECT_DOUBLE_EQ(texts[1].location.x, 1.0);
    EXPECT_DOUBLE_EQ(texts[1].location.y, 10.0 - texts[0].actualHeight - 0.25);
    EXPECT_DOUBLE_EQ(texts[1].height, 0.15);

    std::string old;
    EXPECT_FALSE(KSRxDictData::GetData("7", old)) << "an earlier layout's record remains";
    CSpecRecord first = Record("0");
    EXPECT_EQ(first.m_Name, "Doors.rtf");
    EXPECT_EQ(first.m_Handles, (std::vector<std::string>{texts[0].handle}));
    EXPECT_EQ(first.m_Rtf, "{\\rtf1 Doors.rtf}");
    CSpecRecord second = Record("1");
    EXPECT_EQ(second.m_Name, "DIVISION 08");
    EXPECT_EQ(second.m_Handles, (std::vector<std::string>{texts[1].handle}));
}

TEST_F(LayoutTest, BreaksOpeningAColumnGoButNotBelowAnotherItem) {
    AcGePoint3d a(0, 10, 0), b(4, 0, 0);
    ASSERT_EQ(LayOut({Item("{\\P\\PText}", "A"), Item("\\PMore", "B")}, a, b), 2);
    std::vector<PlacedText> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].contents, "{Text}");
    EXPECT_EQ(texts[1].contents, "\\PMore");
}

TEST_F(LayoutTest, AnItemRunningOverContinuesInColumnsToTheRightWithItsFormatting) {
    // A box two units tall holds a handful of lines of 0.25 text.
    AcGePoint3d a(0, 10, 0), b(4, 8, 0);
    ASSERT_EQ(LayOut({Item(Paragraphs(14), "Long.rtf")}, a, b), 1);

    std::vector<PlacedText> texts = Texts();
    ASSERT_GE(texts.size(), 3u);
    for (std::size_t k = 0; k < texts.size(); ++k) {
        SCOPED_TRACE("column " + std::to_string(k));
        // Each column starts one gap right of the previous column's right edge.
        double x = k == 0 ? 0.0 : 4.0 + (k - 1) * 4.5 + 0.5;
        EXPECT_DOUBLE_EQ(texts[k].location.x, x);
        EXPECT_DOUBLE_EQ(texts[k].location.y, 10.0);
        EXPECT_LE(texts[k].actualHeight, 2.0);
        if (k > 0) {
            EXPECT_EQ(texts[k].contents.rfind("{", 0), 0u) << texts[k].contents;
            EXPECT_NE(texts[k].contents.find(std::string(kFont) + "\\H1x;"), std::string::npos)
                << texts[k].contents;
            EXPECT_NE(texts[k].contents.find("\\pi-1\\pl1;"), std::string::npos)
                << texts[k].contents;
            EXPECT_EQ(texts[k].contents.find("{\\P"), std::string::npos)
                << "a continued column opens with an empty line: " << texts[k].contents;
        }
    }
    // Every paragraph is shown once, in order, across the columns.
    std::vector<int> expected;
    for (int i = 1; i <= 14; ++i)
        expected.push_back(i);
    EXPECT_EQ(ParagraphNumbers(texts), expected);

    std::vector<std::string> handles;
    for (const PlacedText& text : texts)
        handles.push_back(text.handle);
    EXPECT_EQ(Record("0").m_Handles, handles);
}

TEST_F(LayoutTest, AnItemBelowAnotherMovesOnWhenNotEvenItsFirstPieceFits) {
    AcGePoint3d a(0, 10, 0), b(4, 8, 0);
    ASSERT_EQ(LayOut({Item(Paragraphs(4), "First"), Item(Paragraphs(3), "Second")}, a, b), 2);
    std::vector<PlacedText> texts = Texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(ParagraphNumbers(texts), (std::vector<int>{1, 2, 3, 4, 1, 2, 3}));
    CSpecRecord second = Record("1");
    ASSERT_GE(second.m_Handles.size(), 2u);
    EXPECT_EQ(std::set<std::string>(second.m_Handles.begin(), second.m_Handles.end()).size(),
              second.m_Handles.size())
        << "a handle is listed twice";
    EXPECT_EQ(second.m_Handles.back(), texts.back().handle);
    // The second item starts below the first one's last column, at its left edge, and
    // continues at the top of the next columns.
    std::size_t start = texts.size() - second.m_Handles.size();
    EXPECT_EQ(texts[start].handle, second.m_Handles.front());
    EXPECT_DOUBLE_EQ(texts[start].location.x, 4.5);
    EXPECT_DOUBLE_EQ(texts[start].location.y, 10.0 - texts[start - 1].actualHeight - 0.25);
    EXPECT_DOUBLE_EQ(texts.back().location.x, 4.5 + 2 * 4.5);
    EXPECT_DOUBLE_EQ(texts.back().location.y, 10.0);
}

TEST_F(LayoutTest, APieceTallerThanTheBoxIsPlacedInAFreshColumnAndTheLayoutEnds) {
    AcGePoint3d a(0, 10, 0), b(4, 9, 0);
    std::string huge = std::string("{") + kFont + "\\PParagraph 1";
    for (int w = 0; w < 200; ++w)
        huge += " word";
    huge += "\\PParagraph 2 short}";
    ASSERT_EQ(LayOut({Item("{Intro}", "Intro"), Item(huge, "Huge")}, a, b), 2);

    std::vector<PlacedText> texts = Texts();
    EXPECT_EQ(ParagraphNumbers(texts), (std::vector<int>{1, 2}));
    bool overrun = false;
    for (const PlacedText& text : texts)
        overrun = overrun || (text.contents.find("Paragraph 1") != std::string::npos &&
                              text.actualHeight > 1.0);
    EXPECT_TRUE(overrun) << "the tall paragraph was not kept whole in one column";
    EXPECT_LE(texts.size(), 5u);
}

TEST_F(LayoutTest, NothingToPlaceStillRemovesTheOldRecords) {
    {
        CDocLock lock;
        ASSERT_TRUE(KSRxDictData::SetData("0", "Old|*R"));
    }
    EXPECT_EQ(LayOut({}, AcGePoint3d(0, 1, 0), AcGePoint3d(1, 0, 0)), 0);
    std::string value;
    EXPECT_FALSE(KSRxDictData::GetData("0", value));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(LayoutTest, AFailedTextStopsTheLayoutWithoutSavingTheItemsRecord) {
    // Model space held open for write elsewhere refuses the new text.
    CDocLock lock;
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
    CMtextRtfHolder holder;
    holder.Add(Item("{Text}", "A"));
    EXPECT_EQ(LayOutItems(AcGePoint3d(0, 1, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(4, 0, 0), holder,
                          0.25, 0.15, 0.25, 0.5),
              0);
    space->close();
    std::string value;
    EXPECT_FALSE(KSRxDictData::GetData("0", value));
}

// A sheet command as the module runs one: the layout inside a modal command, which U takes
// back as one step.
int g_Sheet = 0;

void SheetCommand() {
    CMtextRtfHolder holder;
    std::string body = std::string("{") + kFont;
    for (int i = 0; i < 6 + 4 * g_Sheet; ++i)
        body += "\\PParagraph " + std::to_string(i + 1) + " of sheet " + std::to_string(g_Sheet);
    CMtextRtf heading;
    heading.SplitContents("DIVISION 0" + std::to_string(g_Sheet));
    heading.m_IsPlain = true;
    heading.m_Name = heading.m_Rtf = heading.m_Contents;
    holder.Add(heading);
    CMtextRtf item;
    item.SplitContents(body + "}");
    item.m_Name = "Sheet" + std::to_string(g_Sheet) + ".rtf";
    item.m_Rtf = "{\\rtf1 sheet " + std::to_string(g_Sheet) + "}";
    holder.Add(item);
    LayOutItems(AcGePoint3d(0, 10, 0), AcGePoint3d(0, 10, 0), AcGePoint3d(4, 8, 0), holder, 0.25,
                0.15, 0.25, 0.5);
}

class LayoutUndoTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        ASSERT_EQ(acedRegCmds->addCommand("LAYOUTTEST", "_SHEETTEST", "SHEETTEST", ACRX_CMD_MODAL,
                                          SheetCommand),
                  Acad::eOk);
    }
    void TearDown() override {
        acedRegCmds->removeCmd("LAYOUTTEST", "_SHEETTEST");
        LayoutTest::TearDown();
    }
    void Run(const std::string& lines) {
        host->feedInput(lines);
        host->runPendingInput();
    }
    static std::vector<std::string> Contents() {
        std::vector<std::string> contents;
        for (const PlacedText& text : Texts())
            contents.push_back(text.handle + " " + text.contents);
        return contents;
    }
};

TEST_F(LayoutUndoTest, UndoingALayoutGivesBackTheDrawingAndTheStoredRecordsBeforeIt) {
    g_Sheet = 1;
    Run("SHEETTEST\n");
    std::vector<std::string> texts = Contents();
    std::map<std::string, std::string> entries = SpecEntries();
    ASSERT_GE(texts.size(), 3u);
    ASSERT_EQ(entries.count("1"), 1u);

    g_Sheet = 2;
    Run("SHEETTEST\n");
    ASSERT_GT(Contents().size(), texts.size());
    ASSERT_NE(SpecEntries(), entries);

    Output();
    Run("U\n");
    EXPECT_EQ(Contents(), texts);
    EXPECT_EQ(SpecEntries(), entries);
    CSpecRecord item = Record("1");
    EXPECT_EQ(item.m_Rtf, "{\\rtf1 sheet 1}");

    Run("U\n");
    EXPECT_TRUE(Contents().empty());
    EXPECT_TRUE(SpecEntries().empty());
}

TEST(Spinner, TurnsThroughFourFramesThatOverwriteEachOther) {
    std::vector<std::string> frames;
    for (int i = 0; i < 8; ++i)
        frames.push_back(NextSpinnerFrame());
    std::string cycle;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frames[i], frames[i + 4]);
        ASSERT_EQ(frames[i].size(), 2u);
        EXPECT_EQ(frames[i][0], '\r');
        cycle += frames[i][1];
    }
    EXPECT_NE(std::string("/-\\-/-\\-").find(cycle), std::string::npos) << cycle;
}

} // namespace
