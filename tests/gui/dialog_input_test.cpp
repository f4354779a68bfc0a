// A person's keyboard and mouse in the dialogs' windows reach the dialogs as their user
// input: Tab walks the template's tab order, Enter presses the default button, Escape and the
// title bar's close box cancel, typing changes a field, a double click on a list item adds it
// to the sheet, the wheel scrolls a list, and the mouse lights the flat remove button up.
#include "window_test_host.h"

#include "frame/commands.h"
#include "specsheet/newspecsheet.h"
#include "specsheet/options.h"
#include "specsheet/resource.h"

#include <QWheelEvent>

#include <string>
#include <vector>

namespace gui_test {
namespace {

using DialogInput = WindowTest;

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

std::string Text(HWND dialog, int id) {
    char buffer[256] = "";
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

std::string Item(HWND list, int index) {
    char buffer[256] = "";
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

TEST_F(DialogInput, TabWalksTheTemplatesTabOrderAndShiftTabWalksBack) {
    std::vector<int> forward, back;
    const int kTabs = 14;
    for (int i = 0; i < kTabs; ++i)
        person->Then([&](DialogWindow& window) {
            forward.push_back(FocusId());
            QTest::keyClick(&window, Qt::Key_Tab);
        });
    for (int i = 0; i < 3; ++i)
        person->Then([&](DialogWindow& window) {
            back.push_back(FocusId());
            QTest::keyClick(&window, Qt::Key_Tab, Qt::ShiftModifier);
        });
    person->Then([&](DialogWindow& window) {
        back.push_back(FocusId());
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    // The controls with a tab stop, in the order of the template; after the last the first.
    EXPECT_EQ(forward,
              (std::vector<int>{IDC_EDIT_DIVISIONS, IDC_DIVISIONS, IDC_RTF_FOLDER, IDC_BROWSE,
                                IDC_RTF_FILES, IDC_CONVERT_DOCS, IDC_SHEET_LIST, IDC_UP, IDC_DOWN,
                                IDC_REMOVE, IDC_PREVIEW, IDC_SIZES, IDOK, IDCANCEL}));
    EXPECT_EQ(back, (std::vector<int>{IDC_EDIT_DIVISIONS, IDCANCEL, IDOK, IDC_SIZES}));
}

TEST_F(DialogInput, TypingChangesAFieldAndEnterPressesTheDefaultButton) {
    COptions options(nullptr);
    options.m_OptSpacer = 1;
    options.m_OptHSpacer = 2;
    options.m_OptTHeight = 3;
    options.m_OptVHeight = 4;
    std::string typed;
    person->Then([&](DialogWindow& window) {
        // Tab goes to the second field and selects its text; the typing replaces it.
        QTest::keyClick(&window, Qt::Key_Tab);
        QTest::keyClicks(&window, "7.25");
    });
    person->Then([&](DialogWindow& window) {
        typed = Text(window.handle(), IDC_OPT_HSPACER);
        QTest::keyClick(&window, Qt::Key_Return);
    });
    EXPECT_EQ(options.DoModal(), IDOK);
    EXPECT_EQ(typed, "7.25");
    EXPECT_DOUBLE_EQ(options.m_OptHSpacer, 7.25);
    EXPECT_DOUBLE_EQ(options.m_OptSpacer, 1);
}

TEST_F(DialogInput, EscapeAndTheCloseBoxCancel) {
    person->Then([](DialogWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    COptions escaped(nullptr);
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);

    bool closedByTitleBar = false;
    person->Then([&](DialogWindow& window) {
        window.close(); // what the title bar's close box does
        closedByTitleBar = true;
    });
    NewSpecSheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(closedByTitleBar);
}

TEST_F(DialogInput, ADoubleClickOnADivisionAddsItToTheSheetList) {
    std::vector<std::string> sheet;
    person->Then([](DialogWindow& window) {
        QPoint item = ItemCentre(window, IDC_DIVISIONS, 3);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, item);
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, item);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, item);
    });
    person->Then([&](DialogWindow& window) {
        HWND list = GetDlgItem(window.handle(), IDC_SHEET_LIST);
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i)
            sheet.push_back(Item(list, i));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(sheet, std::vector<std::string>{"DIVISION 3 - CONCRETE"});
}

TEST_F(DialogInput, TheWheelOverAListScrollsIt) {
    int top = -1;
    person->Then([](DialogWindow& window) {
        QPoint at = ControlCentre(window, IDC_DIVISIONS);
        QWheelEvent wheel(QPointF(at), QPointF(window.mapToGlobal(at)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &wheel);
    });
    person->Then([&](DialogWindow& window) {
        top = static_cast<int>(
            SendMessageA(GetDlgItem(window.handle(), IDC_DIVISIONS), LB_GETTOPINDEX, 0, 0));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(top, 3);
}

TEST_F(DialogInput, TheMouseLightsTheRemoveButtonUpAndLeavingPutsItOut) {
    QImage resting, lit, left;
    person->Then([&](DialogWindow& window) {
        resting = ControlPixels(window, IDC_REMOVE);
        MoveMouse(window, ControlCentre(window, IDC_REMOVE));
    });
    person->Then([&](DialogWindow& window) {
        lit = ControlPixels(window, IDC_REMOVE);
        LeaveWindow(window);
    });
    person->Then([&](DialogWindow& window) {
        left = ControlPixels(window, IDC_REMOVE);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    ASSERT_FALSE(resting.isNull());
    EXPECT_NE(lit, resting);
    EXPECT_EQ(left, resting);
    // The hot icon is red.
    bool red = false;
    for (int y = 0; y < lit.height(); ++y)
        for (int x = 0; x < lit.width(); ++x) {
            QRgb c = lit.pixel(x, y);
            red = red || (qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90);
        }
    EXPECT_TRUE(red);
}

} // namespace
} // namespace gui_test
