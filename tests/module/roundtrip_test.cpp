// The double-click round trip where the command line cannot show it: what is queued, what
// MTEXTED holds while the rebuild waits, the box read from the texts, and sheets of many items.
#include "specsheet_test_host.h"

#include "conversion/columnlayout.h"
#include "conversion/rebuild.h"
#include "frame/docdata.h"
#include "frame/doclock.h"
#include "frame/rivletapp.h"
#include "roundtrip/editorreactor.h"
#include "roundtrip/externaledit.h"
#include "storage/dictdata.h"

#include "editor/documents.h"

#include "arx/dbmtext.h"
#include "win/paths.h"

#include <cstdlib>

namespace {

std::string MTextEd() {
    resbuf value{};
    if (acedGetVar("MTEXTED", &value) != RTNORM || value.restype != RTSTR)
        return "?";
    std::string text = value.resval.rstring ? value.resval.rstring : "";
    acutDelString(value.resval.rstring);
    return text;
}

class RoundTrip : public SpecSheetTest {
protected:
    void SetUp() override {
        SpecSheetTest::SetUp();
        g_InstallFolder = "C:\\Kestrune\\VIZUDaro\\";
        std::string editor =
            win::ToWindowsPath(std::string(RIVLET_BINARY_DIR) + "/bin/scripted-editor");
        SetPreference("WORDPAD", editor);
        reactor = new EditorReactor(true);
    }
    void TearDown() override {
        delete reactor;
        unsetenv("RIVLET_EDITOR");
        g_InstallFolder.clear();
        SpecSheetTest::TearDown();
    }
    // A sheet of `count` items of a few words each, laid out in a box of 3 by 2.
    void LayOut(int count) {
        CMtextRtfHolder items;
        for (int i = 0; i < count; ++i) {
            CMtextRtf item;
            item.m_Name = "item " + std::to_string(i);
            item.m_Rtf = "{\\rtf1\\ansi Item number " + std::to_string(i) + ".\\par}";
            item.SplitContents("Item number " + std::to_string(i) + ".");
            items.Add(item);
        }
        CDocLock lock;
        ASSERT_EQ(LayOutItems(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 0, 0), AcGePoint3d(3, -2, 0),
                              items, 0.25, 0.15, 0.25, 0.5),
                  count);
    }
    void DoubleClick(const std::string& handle) { host->runCommand("DBLCLICK " + handle); }

    EditorReactor* reactor = nullptr;
};

TEST_F(RoundTrip, ASavedEditQueuesTheRebuildBetweenCancelsAndPointsMTextEdAtScrivel) {
    LayOut(2);
    std::vector<PlacedText> texts = Texts();
    setenv("RIVLET_EDITOR", "replace:number 1=number ONE", 1);
    DoubleClick(texts[1].handle);
    // Until the queued rebuild runs, the host's own edit starts Scrivel, which changes nothing.
    EXPECT_EQ(MTextEd(), "C:\\Kestrune\\VIZUDaro\\Scrivel.exe");
    const auto& queued = cadhost::editor::Docs().current()->queue();
    ASSERT_EQ(queued.size(), 3u);
    EXPECT_EQ(queued[0].kind, cadhost::editor::InputItem::Cancel);
    EXPECT_EQ(queued[1].kind, cadhost::editor::InputItem::Text);
    EXPECT_EQ(queued[1].text, "reformFromDict");
    EXPECT_EQ(queued[2].kind, cadhost::editor::InputItem::Cancel);
    std::map<std::string, std::string> entries = SpecEntries();
    EXPECT_NE(entries["1"].find("Item number ONE."), std::string::npos);
    EXPECT_EQ(entries["1"].rfind("item 1|" + texts[1].handle + "|*", 0), 0u);
    // The box came from the text's extended data.
    EXPECT_TRUE(HasBox(docData()));
    EXPECT_EQ(docData().m_LowerRight.x, 3.0);
    EXPECT_EQ(docData().m_LowerRight.y, -2.0);
}

TEST_F(RoundTrip, AnEditNotSavedQueuesAndStoresNothing) {
    LayOut(2);
    std::map<std::string, std::string> before = SpecEntries();
    setenv("RIVLET_EDITOR", "nosave", 1);
    host->feedInput("\n"); // the host's own edit: keep the contents
    DoubleClick(Texts()[0].handle);
    EXPECT_TRUE(cadhost::editor::Docs().current()->queue().empty());
    EXPECT_EQ(SpecEntries(), before);
    EXPECT_NE(MTextEd(), "C:\\Kestrune\\VIZUDaro\\Scrivel.exe");
}

TEST_F(RoundTrip, AnItemPastTheSeventyFifthIsEditedToo) {
    LayOut(80);
    std::string record = SpecEntries()["78"];
    std::string handle = record.substr(8, record.find('|', 8) - 8); // "item 78|H|...|*..."
    setenv("RIVLET_EDITOR", "replace:number 78=number SEVENTY-EIGHT", 1);
    DoubleClick(handle);
    EXPECT_NE(SpecEntries()["78"].find("SEVENTY-EIGHT"), std::string::npos);
}

TEST_F(RoundTrip, TheRebuildPlacesEveryStoredItemInTheBoxAgain) {
    LayOut(3);
    std::vector<PlacedText> before = Texts();
    // The rebuild of a document without a box asks for one.
    host->feedInput("10,10\n13,8\n");
    {
        CDocLock lock;
        RebuildFromStoredData();
    }
    std::vector<PlacedText> after = Texts();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].location.x, 10.0);
    EXPECT_EQ(after[0].location.y, 10.0);
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_NE(after[i].contents.find("Item number " + std::to_string(i) + "."),
                  std::string::npos);
        EXPECT_NE(after[i].handle, before[i].handle);
    }
    std::map<std::string, std::string> entries = SpecEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries["2"].rfind("item 2|" + after[2].handle + "|*{\\rtf1", 0), 0u);
    // A cancelled box changes nothing.
    docData() = CDocData{};
    host->feedInput("*Cancel*\n");
    {
        CDocLock lock;
        RebuildFromStoredData();
    }
    EXPECT_EQ(Texts().size(), 3u);
    EXPECT_EQ(Texts()[0].handle, after[0].handle);
}

TEST_F(RoundTrip, ABoxWithoutItsSecondCornerKeepsTheOldOne) {
    LayOut(1);
    AcDbObjectId id;
    ASSERT_EQ(db()->getAcDbObjectId(id, false, AcDbHandle(Texts()[0].handle.c_str())), Acad::eOk);
    AcDbMText* text = nullptr;
    const double a[3] = {1, 2, 0};
    resbuf* xdata = acutBuildList(AcDb::kDxfRegAppName, "KSRRivlet", AcDb::kDxfXdInteger16, 1,
                                  AcDb::kDxfXdXCoord, a, AcDb::kDxfXdInteger16, 2,
                                  AcDb::kDxfXdAsciiString, "not a point", 0);
    {
        CDocLock lock;
        ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForWrite), Acad::eOk);
        text->setXData(xdata);
        text->close();
    }
    acutRelRb(xdata);
    ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForRead), Acad::eOk);
    CDocData box;
    box.m_LowerRight = AcGePoint3d(7, 7, 7);
    Output();
    ReadBox(text, box);
    text->close();
    EXPECT_EQ(box.m_UpperLeft, AcGePoint3d(1, 2, 0));
    EXPECT_EQ(box.m_LowerRight, AcGePoint3d(7, 7, 7));
    EXPECT_EQ(Output(), "ERROR: malfomed Xdata tag: 2"); // the only line, once
}

} // namespace
