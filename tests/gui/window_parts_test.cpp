// The parts of the window front end on their own: file types as Qt's name filters, keys as
// the model's virtual keys, message boxes' buttons, the area a window shows, and the picture
// comparison that the screenshot tests rely on (a changed picture fails and is written out).
#include "picture_compare.h"
#include "window_test_host.h"

#include "gui/filedialogwindow.h"
#include "gui/keys.h"
#include "gui/messageboxwindow.h"
#include "gui/windowpicture.h"

#include "win/controls.h"

#include <QPainter>
#include <QPushButton>

#include <filesystem>

namespace gui_test {
namespace {

TEST(WindowParts, FileTypesBecomeNameFiltersWithTheirOwnPatterns) {
    std::vector<win::FileFilter> filters = {
        {"Rich Text (*.rtf)", "*.rtf"},
        {"Word and Writer documents (*.docx;*.odt)", "*.docx;*.odt"},
        {"Everything", "*.*"},
        {"", "*.txt"},
        // The description's own parentheses are replaced by the patterns that apply.
        {"Old (*.wri)", "*.doc"},
    };
    EXPECT_EQ(cadhost::gui::NameFilters(filters),
              (QStringList{"Rich Text (*.rtf)", "Word and Writer documents (*.docx *.odt)",
                           "Everything (*.*)", "*.txt (*.txt)", "Old (*.doc)"}));
    EXPECT_TRUE(cadhost::gui::NameFilters({}).isEmpty());
}

TEST(WindowParts, KeysThatAreNoTextAreTheModelsVirtualKeys) {
    using cadhost::gui::VirtualKeyOf;
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Tab), VK_TAB);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Backtab), VK_TAB);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Return), VK_RETURN);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter), VK_RETURN);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Escape), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown), VK_NEXT);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Home), VK_HOME);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Backspace), VK_BACK);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_F1), VK_F1);
    // Text is typed, not pressed as a key.
    EXPECT_EQ(VirtualKeyOf(Qt::Key_A), std::nullopt);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Space), std::nullopt);
}

TEST(WindowParts, AMessageBoxHasTheButtonsOfItsTypeInOrderAndAnswersCancelWhenClosed) {
    Application();
    win::MessageBoxRequest request{"Text", "Caption", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3};
    std::unique_ptr<QMessageBox> box = cadhost::gui::MakeMessageBox(request, nullptr);
    ASSERT_EQ(box->buttons().size(), 3);
    EXPECT_EQ(cadhost::gui::ButtonOf(*box, IDABORT)->text(), "Abort");
    EXPECT_EQ(box->defaultButton(), cadhost::gui::ButtonOf(*box, IDIGNORE));
    EXPECT_EQ(cadhost::gui::ButtonOf(*box, IDOK), nullptr);
    // Closed without a button: its default, as the box has no Cancel.
    EXPECT_EQ(cadhost::gui::AnswerOf(*box, request), IDIGNORE);
    win::MessageBoxRequest cancellable{"Text", "Caption", MB_OKCANCEL};
    box = cadhost::gui::MakeMessageBox(cancellable, nullptr);
    EXPECT_EQ(box->escapeButton(), cadhost::gui::ButtonOf(*box, IDCANCEL));
    EXPECT_EQ(cadhost::gui::AnswerOf(*box, cancellable), IDCANCEL);
}

TEST(WindowParts, ADialogShowsItsClientAreaAndATooltipAllOfItself) {
    CWnd dialog;
    dialog.CreateEx(WS_EX_DLGMODALFRAME, WC_DIALOG, "Caption",
                    WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE, RECT{100, 50, 300, 200},
                    nullptr, 0);
    RECT client{};
    GetClientRect(dialog.m_hWnd, &client);
    POINT origin{0, 0};
    ClientToScreen(dialog.m_hWnd, &origin);
    EXPECT_TRUE(cadhost::gui::HasTitleBar(dialog.m_hWnd));
    EXPECT_EQ(cadhost::gui::ShownArea(dialog.m_hWnd),
              QRect(origin.x, origin.y, client.right, client.bottom));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&dialog));
    SetWindowPos(tip.m_hWnd, nullptr, 120, 70, 80, 19, SWP_NOZORDER);
    EXPECT_FALSE(cadhost::gui::HasTitleBar(tip.m_hWnd));
    EXPECT_EQ(cadhost::gui::ShownArea(tip.m_hWnd), QRect(120, 70, 80, 19));
}

TEST(WindowParts, AChangedPictureFailsAndIsWrittenOutWithItsDifferences) {
    if (UpdatingReferences())
        GTEST_SKIP() << "the references are being written";
    QImage reference(QString::fromStdString(std::string(RIVLET_SOURCE_DIR) +
                                            "/tests/data/gui/sheet_opened.png"));
    ASSERT_FALSE(reference.isNull());
    reference = reference.convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(MatchesReference(reference, "sheet_opened"));

    // A few pixels a little off, and a few quite off: within the tolerance.
    QImage nearly = reference;
    for (int i = 0; i < 40; ++i)
        nearly.setPixel(10 + i, 10, qRgb(0, 0, 0));
    for (int i = 0; i < 400; ++i)
        nearly.setPixel(i, 20, QColor(nearly.pixel(i, 20)).lighter(105).rgb());
    EXPECT_TRUE(MatchesReference(nearly, "sheet_opened"));

    // A patch painted over it: the comparison fails and names the pictures it wrote.
    QImage changed = reference;
    QPainter(&changed).fillRect(QRect(100, 100, 60, 40), Qt::magenta);
    ::testing::AssertionResult result = MatchesReference(changed, "sheet_opened");
    ASSERT_FALSE(result);
    std::string message = result.message();
    std::string actual = std::string(RIVLET_BINARY_DIR) + "/test-pictures/sheet_opened.actual.png";
    std::string difference =
        std::string(RIVLET_BINARY_DIR) + "/test-pictures/sheet_opened.difference.png";
    EXPECT_NE(message.find("2400 of"), std::string::npos) << message;
    EXPECT_NE(message.find(actual), std::string::npos) << message;
    EXPECT_NE(message.find(difference), std::string::npos) << message;
    EXPECT_EQ(QImage(QString::fromStdString(actual)).convertToFormat(QImage::Format_RGB32),
              changed);
    QImage marked(QString::fromStdString(difference));
    EXPECT_EQ(marked.pixel(120, 120), qRgb(255, 0, 0));
    EXPECT_NE(marked.pixel(5, 5), qRgb(255, 0, 0));
    std::filesystem::remove(actual);
    std::filesystem::remove(difference);

    // Another size fails whatever its pixels.
    EXPECT_FALSE(MatchesReference(reference.copy(0, 0, 100, 100), "sheet_opened"));
    std::filesystem::remove(actual);
    std::filesystem::remove(difference);
}

} // namespace
} // namespace gui_test
