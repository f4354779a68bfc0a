// "Create!": the items made from the sheet list, and what the layout leaves in the drawing.
#include "specsheet_test_host.h"

#include "frame/commands.h"
#include "frame/doclock.h"
#include "specsheet/divisions.h"
#include "specsheet/resource.h"
#include "specsheet/sheetgeneration.h"
#include "storage/dictdata.h"

namespace {

std::string Joined(const CStringArray& pieces) {
    std::string all;
    for (INT_PTR i = 0; i < pieces.GetSize(); ++i)
        all += pieces[i];
    return all;
}

TEST(SheetItems, TheHostsOuterGroupGoesAndNothingElse) {
    EXPECT_EQ(WithoutOuterGroup("{abc}"), "abc");
    EXPECT_EQ(WithoutOuterGroup("abc"), "abc");
    EXPECT_EQ(WithoutOuterGroup("{abc\\P}"), "abc\\P");
    EXPECT_EQ(WithoutOuterGroup("{abc\\P"), "abc\\"); // whatever the last character is
    EXPECT_EQ(WithoutOuterGroup("{"), "");
    EXPECT_EQ(WithoutOuterGroup(""), "");
}

class SheetItemFiles : public SpecSheetTest {};

TEST_F(SheetItemFiles, DivisionsFilesAndMissingFiles) {
    DivisionTable divisions;
    divisions.ResetToDefaults();

    CMtextRtf ten = MakeSheetItem("DIVISION 10 - SPECIALTIES", divisions);
    EXPECT_TRUE(ten.m_IsPlain);
    ASSERT_EQ(ten.m_Pieces.GetSize(), 1);
    EXPECT_EQ(ten.m_Pieces[0], divisions.Heading(10)); // not DIVISION 1's
    EXPECT_EQ(ten.m_Rtf, divisions.Heading(10));
    EXPECT_TRUE(ten.m_Contents.empty());
    // The prefix rule is exact: another letter case is a file name.
    EXPECT_FALSE(MakeSheetItem("division 10 - specialties", divisions).m_IsPlain);
    // A path that begins with a division's name is that division.
    EXPECT_EQ(MakeSheetItem("DIVISION 3 - CONCRETE\\spec.rtf", divisions).m_Rtf,
              divisions.Heading(3));

    CMtextRtf missing = MakeSheetItem("C:\\Specs\\{Gone}.rtf", divisions);
    EXPECT_FALSE(missing.m_IsPlain);
    EXPECT_TRUE(missing.m_Rtf.empty());
    ASSERT_EQ(missing.m_Pieces.GetSize(), 1);
    EXPECT_EQ(missing.m_Pieces[0], "C:\\\\Specs\\\\\\{Gone\\}.rtf"); // shown as the path
    EXPECT_EQ(missing.m_Name, "C:\\Specs\\{Gone}.rtf");

    WriteBytes(folders.DriveC() + "/Hang.rtf",
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\fi-360\\li720 1.\\tab Item\\par\n"
               "\\pard Plain\\par}");
    CMtextRtf file = MakeSheetItem("C:\\Hang.rtf", divisions);
    EXPECT_FALSE(file.m_IsPlain);
    EXPECT_NE(file.m_Rtf.find("\\li720\\tx720"), std::string::npos); // the indent fixed
    EXPECT_NE(file.m_Contents.front(), '{');
    EXPECT_EQ(Joined(file.m_Pieces), file.m_Contents);
    EXPECT_GE(file.m_Pieces.GetSize(), 2);
    EXPECT_NE(file.m_Contents.find("Plain"), std::string::npos);
}

class SheetCreation : public SpecSheetTest {
protected:
    // The command under a document lock, as the host runs a modal command.
    void Create(const std::string& corners) {
        host->feedInput(corners);
        Then([](HWND d) { Click(d, IDOK); });
        CDocLock lock;
        CmdSheetSpec();
    }
};

TEST_F(SheetCreation, AListBecomesColumnsAndOneRecordPerItem) {
    WriteBytes(folders.DriveC() + "/Wall.rtf", "{\\rtf1\\ansi Wall board.\\par}");
    SetPreference("GENERATE", "DIVISION 9 - FINISHES;C:\\Wall.rtf;C:\\Missing.rtf;");
    Create("0,0\n4,-4\n");
    std::vector<PlacedText> texts = Texts();
    ASSERT_EQ(texts.size(), 3u) << Output();
    EXPECT_DOUBLE_EQ(texts[0].height, 0.15); // the division at its own height
    EXPECT_DOUBLE_EQ(texts[1].height, 0.25);
    EXPECT_NE(texts[1].contents.find("Wall board."), std::string::npos);
    std::map<std::string, std::string> entries = SpecEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries["0"].rfind("DIVISION 9 - FINISHES|" + texts[0].handle + "|*", 0), 0u);
    EXPECT_EQ(entries["1"].rfind("C:\\Wall.rtf|" + texts[1].handle + "|*{\\rtf1", 0), 0u);
    EXPECT_EQ(entries["2"], "C:\\Missing.rtf|" + texts[2].handle + "|*");
    EXPECT_EQ(Preference("GENERATE"), "DIVISION 9 - FINISHES;C:\\Wall.rtf;C:\\Missing.rtf;");
}

TEST_F(SheetCreation, ACancelledBoxPlacesAndStoresNothingButKeepsTheList) {
    ASSERT_TRUE(KSRxDictData::SetData("0", "earlier|1A|*{\\rtf1 x}"));
    SetPreference("GENERATE", "DIVISION 9 - FINISHES;");
    Create("*Cancel*\n");
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(SpecEntries().size(), 1u);
    EXPECT_EQ(SpecEntries()["0"], "earlier|1A|*{\\rtf1 x}");
    EXPECT_EQ(Preference("GENERATE"), "DIVISION 9 - FINISHES;");
}

TEST_F(SheetCreation, AnEmptyListStillRemovesTheStoredRecords) {
    ASSERT_TRUE(KSRxDictData::SetData("0", "earlier|1A|*{\\rtf1 x}"));
    ASSERT_TRUE(KSRxDictData::SetData("1", std::string(70000, 'y'))); // in chunks
    Create("0,0\n4,-4\n");
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(SpecEntries().empty());
    EXPECT_NE(Output().find("Select second corner(NODE): 4,-4"), std::string::npos);
}

} // namespace
