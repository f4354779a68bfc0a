// The module's dialogs as their windows show them, compared with the reference pictures of
// tests/data/gui/: the sheet dialog as it opens, with the remove button under the mouse, with
// a section file in its banner, and the Rich Text viewer on a formatted file.
#include "picture_compare.h"
#include "window_test_host.h"

#include "frame/commands.h"
#include "specsheet/resource.h"
#include "specsheet/rtfviewer.h"

#include "win/userinput.h"

namespace gui_test {
namespace {

class DialogScreenshots : public WindowTest {
protected:
    // What the window shows, taken from the screen's side: the window's own rendering.
    static QImage Shown(DialogWindow& window) {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(DialogScreenshots, TheSheetDialogAsItOpens) {
    QImage opened;
    person->Then([&](DialogWindow& window) {
        opened = Shown(window);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_TRUE(MatchesReference(opened, "sheet_opened"));
}

TEST_F(DialogScreenshots, TheSheetDialogWithTheRemoveButtonUnderTheMouse) {
    QImage before, after, hovered;
    person->Then([&](DialogWindow& window) {
        before = ControlPixels(window, IDC_REMOVE);
        MoveMouse(window, ControlCentre(window, IDC_REMOVE));
    });
    person->Then([&](DialogWindow& window) {
        hovered = Shown(window);
        after = ControlPixels(window, IDC_REMOVE);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_TRUE(MatchesReference(hovered, "sheet_remove_hovered"));
    EXPECT_NE(before, after);
}

TEST_F(DialogScreenshots, TheSheetDialogWithASectionFileInItsBanner) {
    QImage banner;
    person->Then([&](DialogWindow& window) {
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          ItemCentre(window, IDC_RTF_FILES, 2));
    });
    person->Then([&](DialogWindow& window) {
        banner = Shown(window);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_TRUE(MatchesReference(banner, "sheet_banner_file"));
}

TEST_F(DialogScreenshots, TheViewerShowsARichTextFileWithItsFormatting) {
    std::string path = OnDriveC("tests/data/gui/formatting.rtf", "formatting.rtf");
    QImage viewer;
    // The viewer opens with its text selected, as a dialog selects the text of the field it
    // focuses first; a click into the text below its last line puts the caret there.
    person->Then([&](DialogWindow& window) {
        QPoint text = ControlCentre(window, IDC_VIEWER_TEXT);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          QPoint(text.x(), text.y() + 100));
    });
    person->Then([&](DialogWindow& window) {
        viewer = Shown(window);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CRtfViewer dialog(path.c_str(), nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(MatchesReference(viewer, "viewer_formatting"));
}

} // namespace
} // namespace gui_test
