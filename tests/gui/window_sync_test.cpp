// The real windows follow the model: a dialog's window shows exactly the pixels the model
// painted for its client area under the dialog's caption; tooltips come and go as windows of
// their own beside their control; a nested dialog shows over its owner, whose window is
// disabled meanwhile; an ended dialog's window goes; and a script's dlg lines play first,
// each step shown, before the person acts.
#include "picture_compare.h"
#include "window_test_host.h"

#include "frame/commands.h"
#include "gui/windowpicture.h"
#include "specsheet/newspecsheet.h"
#include "specsheet/options.h"
#include "specsheet/resource.h"

#include "win/paint.h"

#include <QPointer>

namespace gui_test {
namespace {

using WindowSync = WindowTest;

HWND ShownTooltip() {
    for (HWND top : win::TopLevelWindows()) {
        win::WindowInfo info;
        if (win::GetWindowInfo(top, info) && info.className == TOOLTIPS_CLASSA && info.visible)
            return top;
    }
    return nullptr;
}

TEST_F(WindowSync, ADialogsWindowShowsTheModelsPixelsOfItsClientAreaUnderItsCaption) {
    QImage grabbed, model, saved;
    QString title;
    QSize size;
    RECT client{};
    POINT clientOrigin{0, 0};
    RECT whole{};
    person->Then([&](DialogWindow& window) {
        grabbed = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        model = cadhost::gui::ModelPicture(window.handle());
        title = window.windowTitle();
        size = window.size();
        GetClientRect(window.handle(), &client);
        ClientToScreen(window.handle(), &clientOrigin);
        GetWindowRect(window.handle(), &whole);
        // What a script's "dlg snapshot" writes: the whole window, frame and caption included.
        std::string file = folders.Tmp() + "/snapshot.png";
        ASSERT_TRUE(win::SaveWindowPicture(window.handle(), file, nullptr));
        saved = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(title, "KSR - New Spec Sheet");
    EXPECT_EQ(size, QSize(client.right, client.bottom));
    EXPECT_EQ(grabbed, model);
    ASSERT_FALSE(saved.isNull());
    QRect clientInPicture(clientOrigin.x - whole.left, clientOrigin.y - whole.top, client.right,
                          client.bottom);
    EXPECT_EQ(saved.copy(clientInPicture), grabbed);
}

TEST_F(WindowSync, ATooltipShowsAsAWindowOfItsOwnBesideItsControlWhileTheMouseRestsThere) {
    QString shownText;
    bool tipWindowShown = false, tipPixelsAreTheModels = false, tipBesideTheMouse = false;
    bool tipGone = false;
    person->Then(
        [&](DialogWindow& window) { MoveMouse(window, ControlCentre(window, IDC_SHEET_LIST)); });
    person->Then([&](DialogWindow& window) {
        HWND tip = ShownTooltip();
        ASSERT_NE(tip, nullptr);
        DialogWindow* tipWindow = frontEnd->WindowOf(tip);
        ASSERT_NE(tipWindow, nullptr);
        tipWindowShown = tipWindow->isVisible();
        tipPixelsAreTheModels = tipWindow->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                                cadhost::gui::ModelPicture(tip);
        // Where the model puts it against the dialog, the real one is against its window.
        RECT r{};
        GetWindowRect(tip, &r);
        QPoint expected =
            window.geometry().topLeft() + (QPoint(r.left, r.top) - window.modelArea().topLeft());
        tipBesideTheMouse = tipWindow->geometry().topLeft() == expected;
        char text[128] = "";
        GetWindowTextA(tip, text, sizeof text);
        shownText = text;
        LeaveWindow(window);
    });
    person->Then([&](DialogWindow& window) {
        tipGone = ShownTooltip() == nullptr;
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(shownText, "This is the list which will be placed into MTEXT");
    EXPECT_TRUE(tipWindowShown);
    EXPECT_TRUE(tipPixelsAreTheModels);
    EXPECT_TRUE(tipBesideTheMouse);
    EXPECT_TRUE(tipGone);
}

TEST_F(WindowSync, ANestedDialogShowsOverItsOwnerWhoseWindowIsDisabledMeanwhile) {
    HWND sheetHandle = nullptr;
    bool ownerDisabled = false, nestedIsTheOwnersChild = false, ownerEnabledAfter = false;
    QString nestedTitle;
    person->Then([&](DialogWindow& window) {
        sheetHandle = window.handle();
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          ControlCentre(window, IDC_SIZES));
    });
    person->Then([&](DialogWindow& window) {
        nestedTitle = window.windowTitle();
        DialogWindow* owner = frontEnd->WindowOf(sheetHandle);
        ownerDisabled = owner && !owner->isEnabled();
        nestedIsTheOwnersChild = window.parentWidget() == owner;
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    person->Then([&](DialogWindow& window) {
        ownerEnabledAfter = window.handle() == sheetHandle && window.isEnabled();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(nestedTitle, "Sizes");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(nestedIsTheOwnersChild);
    EXPECT_TRUE(ownerEnabledAfter);
    EXPECT_EQ(person->turns, 3);
}

TEST_F(WindowSync, AnEndedDialogsWindowGoes) {
    QPointer<DialogWindow> shown;
    HWND handle = nullptr;
    person->Then([&](DialogWindow& window) {
        shown = &window;
        handle = window.handle();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    COptions options(nullptr);
    options.DoModal();
    EXPECT_EQ(frontEnd->WindowOf(handle), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
}

TEST_F(WindowSync, AScriptsDialogLinesPlayFirstAndThenThePersonActs) {
    host->feedInput("dlg select 229 2\n");
    Output();
    int selectedWhenThePersonCame = -1;
    person->Then([&](DialogWindow& window) {
        selectedWhenThePersonCame = static_cast<int>(
            SendMessageA(GetDlgItem(window.handle(), IDC_DIVISIONS), LB_GETCURSEL, 0, 0));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(selectedWhenThePersonCame, 2);
    EXPECT_EQ(person->turns, 1);
    std::string log = Output();
    EXPECT_NE(log.find("** Dialog \"KSR - New Spec Sheet\""), std::string::npos) << log;
    EXPECT_NE(log.find("** dlg select 229 2"), std::string::npos) << log;
    EXPECT_NE(log.find("ended with 2"), std::string::npos) << log;
}

TEST_F(WindowSync, ThePersonsInputDuringAScriptedStepIsNotTaken) {
    host->feedInput("dlg select 229 4\n");
    frontEnd->SetStepDelay(20);
    // Escape in the window while the script's step waits to be played: the dialog must not
    // hear it.
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* window = dynamic_cast<DialogWindow*>(top); window && window->isVisible())
                QTest::keyClick(window, Qt::Key_Escape);
    });
    int selected = -1;
    person->Then([&](DialogWindow& window) {
        selected = static_cast<int>(
            SendMessageA(GetDlgItem(window.handle(), IDC_DIVISIONS), LB_GETCURSEL, 0, 0));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    CmdSheetSpec();
    EXPECT_EQ(person->turns, 1);
    EXPECT_EQ(selected, 4);
}

TEST_F(WindowSync, ADialogWaitingWhenTheApplicationEndsItsEventLoopsIsClosedAsEscapeClosesIt) {
    int waits = 0;
    frontEnd->SetWaitListener([&](HWND) {
        ++waits;
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    });
    COptions options(nullptr);
    EXPECT_EQ(options.DoModal(), IDCANCEL);
    EXPECT_EQ(waits, 1);
}

} // namespace
} // namespace gui_test
