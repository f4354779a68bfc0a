// The drawing view of a sheet the module lays out: three specification sections converted
// from Rich Text and placed in columns, shown whole, compared with the reference picture
// tests/data/gui/sheet_view.png.
#include "picture_compare.h"
#include "window_fixture.h"

#include "conversion/columnlayout.h"
#include "conversion/rtftomtext.h"
#include "frame/doclock.h"
#include "storage/dictdatawrapper.h"
#include "wordconv/rtffix.h"

#include "arx/rxobject.h"

namespace {

// A section as a word processor saves it: a heading, numbered articles with hanging indents,
// body paragraphs, an italic note.
std::string Section(int number, const char* title, int articles) {
    static const char* const sentences[] = {
        "The contractor shall provide cast in place concrete as the drawings show.",
        "Joints shall be sealed with a sealant that meets ASTM C920 on clean, dry surfaces.",
        "Work shall be done in the manner and on the schedule the architect approves.",
        "Submit product data and samples of each finish before ordering materials.",
    };
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New "
                      "Roman;}{\\f1\\fswiss Arial;}}\\pard\\plain\\b\\f1\\fs20 SECTION 0" +
                      std::to_string(number) + " - " + title + "\\par\\pard\\plain\\f1\\fs20 ";
    for (int a = 1; a <= articles; ++a) {
        rtf += "\\pard\\plain\\fi-720\\li720\\tx720\\f1\\fs20 1." + std::to_string(a) + "\\tab " +
               sentences[(number + a) % 4] + " " + sentences[(number * 3 + a) % 4] + "\\par ";
        if (a % 2 == 0)
            rtf += "\\pard\\plain\\li720\\f1\\fs20 {\\i See note " + std::to_string(a) + ".} " +
                   sentences[a % 4] + "\\par ";
    }
    return rtf + "}";
}

class SheetPictureTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        KSRxDictDataWrapper::rxInit();
        acrxBuildClassHierarchy();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        KSRxDictDataWrapper::rxUninit();
    }
};

TEST_F(SheetPictureTest, TheViewOfALaidOutSheetLooksAsBefore) {
    CMtextRtfHolder items;
    CRtfToMtext converter;
    const char* titles[] = {"CONCRETE", "JOINT SEALANTS", "SUBMITTALS"};
    for (int i = 0; i < 3; ++i) {
        std::string rtf = Section(i + 1, titles[i], 5 + 2 * i);
        CMtextRtf item;
        item.m_Name = "C:\\KSR\\Rivlet\\Section" + std::to_string(i + 1) + ".rtf";
        item.m_Rtf = rtf;
        FixHangingIndents(rtf);
        item.SplitContents(converter.Convert(rtf));
        items.Add(item);
    }
    {
        CDocLock lock;
        ASSERT_EQ(LayOutItems(AcGePoint3d(0, 6, 0), AcGePoint3d(0, 6, 0), AcGePoint3d(3, 0, 0),
                              items, 0.12, 0.1, 0.2, 0.4),
                  3);
    }
    view().setFixedSize(800, 500);
    run("ZOOM\nE\n");
    EXPECT_GE(session().scene().entities().size(), 3u);
    QImage picture = viewPicture();
    ASSERT_EQ(picture.size(), QSize(800, 500));
    EXPECT_GT(view().painter().counts().glyphs, 500u) << "the sheet is readable, not bars";
    EXPECT_TRUE(gui_test::MatchesReference(picture, "sheet_view", {64, 0.005}));
}

} // namespace
