// Message boxes and file dialogs as Qt's own: the request's caption, text, icon, buttons and
// default button; the file types, folder, title and mode of a file dialog; the folder chooser;
// the answers coming back, recorded in the command-line log as a script's answers are.
#include "window_test_host.h"

#include "specsheet/newspecsheet.h"
#include "specsheet/resource.h"

#include "win/filedialog.h"
#include "win/msgbox.h"
#include "win/paths.h"

#include "gui/messageboxwindow.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <filesystem>
#include <fstream>

namespace gui_test {
namespace {

using NativeDialogs = WindowTest;

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    // In the order they stand in the box, left to right.
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(),
              [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
    for (QAbstractButton* button : buttons)
        texts << button->text();
    return texts;
}

QString HostPath(const std::string& windowsPath) {
    return QDir::cleanPath(QString::fromStdString(win::ToHostPath(windowsPath)));
}

TEST_F(NativeDialogs, AMessageBoxShowsTheRequestAndAnswersTheButtonPressed) {
    QString title, text, defaultButton;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = ButtonTexts(box);
        defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
        QTest::mouseClick(cadhost::gui::ButtonOf(box, IDCANCEL), Qt::LeftButton);
    });
    Output();
    int answer = MessageBoxA(nullptr, "Replace the file?", "Rivlet",
                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(title, "Rivlet");
    EXPECT_EQ(text, "Replace the file?");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, (QStringList{"Yes", "No", "Cancel"}));
    EXPECT_EQ(defaultButton, "No");
    std::string log = Output();
    EXPECT_NE(log.find("** MessageBox (question, Yes/No/Cancel): Replace the file?"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("** MessageBox answered Cancel"), std::string::npos) << log;
}

TEST_F(NativeDialogs, EnterTakesTheDefaultButtonAndEscapeTheOneThatCancels) {
    WhenShown<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(MessageBoxA(nullptr, "Go on?", "Rivlet", MB_YESNO | MB_DEFBUTTON2), IDNO);
    WhenShown<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(MessageBoxA(nullptr, "Done.", "Rivlet", MB_OK | MB_ICONINFORMATION), IDOK);
    WhenShown<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(MessageBoxA(nullptr, "Try again?", "Rivlet", MB_RETRYCANCEL | MB_ICONHAND), IDCANCEL);
}

TEST_F(NativeDialogs, AnOpenDialogHasTheRequestsTypesFolderAndTitleAndGivesTheFileChosen) {
    QStringList filters;
    QString folder, title, selectedFilter;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    QFileDialog::FileMode fileMode = QFileDialog::Directory;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        selectedFilter = dialog.selectedNameFilter();
        folder = QDir::cleanPath(dialog.directory().absolutePath());
        title = dialog.windowTitle();
        mode = dialog.acceptMode();
        fileMode = dialog.fileMode();
        ChooseInFileDialog(dialog, HostPath("C:\\Specs\\09900 Painting.rtf"));
    });
    Output();
    CFileDialog dialog(TRUE, "*.doc", nullptr,
                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                       "Documents (*.doc)|*.doc|Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|"
                       "Word and Writer documents (*.docx;*.odt)|*.docx;*.odt||");
    dialog.m_ofn.lpstrTitle = "Open specification document:";
    dialog.m_ofn.lpstrInitialDir = "C:\\Specs";
    dialog.m_ofn.nFilterIndex = 2;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\Specs\\09900 Painting.rtf");
    EXPECT_EQ(filters, (QStringList{"Documents (*.doc)", "Rich Text (*.rtf)", "Text Files (*.txt)",
                                    "Word and Writer documents (*.docx *.odt)"}));
    EXPECT_EQ(selectedFilter, "Rich Text (*.rtf)");
    EXPECT_EQ(folder, HostPath("C:\\Specs"));
    EXPECT_EQ(title, "Open specification document:");
    EXPECT_EQ(mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(fileMode, QFileDialog::ExistingFile);
    std::string log = Output();
    EXPECT_NE(log.find("** FileDialog (Open): \"Open specification document:\""), std::string::npos)
        << log;
    EXPECT_NE(log.find("** FileDialog answered C:\\Specs\\09900 Painting.rtf"), std::string::npos)
        << log;
}

TEST_F(NativeDialogs, ASaveDialogSavesWithTheDefaultExtensionAndACancelComesBackAsCancel) {
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QString suffix;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        mode = dialog.acceptMode();
        suffix = dialog.defaultSuffix();
        ChooseInFileDialog(dialog, HostPath("C:\\Specs") + "/Sheet");
    });
    CFileDialog save(FALSE, "rtf", "Sheet", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Rich Text (*.rtf)|*.rtf||");
    save.m_ofn.lpstrInitialDir = "C:\\Specs";
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "C:\\Specs\\Sheet.rtf");
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(suffix, "rtf");

    WhenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    Output();
    CFileDialog cancelled(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Rich Text (*.rtf)|*.rtf||");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_NE(Output().find("** FileDialog cancelled"), std::string::npos);
}

TEST_F(NativeDialogs, TheFolderChooserOfTheSheetDialogChoosesAFolderWhoseFilesItLists) {
    std::filesystem::create_directories(folders.DriveC() + "/Other");
    std::ofstream(folders.DriveC() + "/Other/Roof.rtf") << "{\\rtf1 Roof}";
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    bool dirsOnly = false;
    std::string field, listed;
    person->Then([&](DialogWindow& window) {
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            fileMode = dialog.fileMode();
            dirsOnly = dialog.testOption(QFileDialog::ShowDirsOnly);
            ChooseInFileDialog(dialog, HostPath("C:\\Other"));
        });
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          ControlCentre(window, IDC_BROWSE));
    });
    person->Then([&](DialogWindow& window) {
        char text[256] = "";
        GetDlgItemTextA(window.handle(), IDC_RTF_FOLDER, text, sizeof text);
        field = text;
        HWND files = GetDlgItem(window.handle(), IDC_RTF_FILES);
        SendMessageA(files, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        listed = text;
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    NewSpecSheet sheet;
    sheet.DoModal();
    EXPECT_EQ(fileMode, QFileDialog::Directory);
    EXPECT_TRUE(dirsOnly);
    EXPECT_EQ(field, "C:\\Other");
    EXPECT_EQ(listed, "Roof.rtf");
}

TEST_F(NativeDialogs, AScriptAnswersWhileItHasLinesAndThePersonAfterIt) {
    host->feedInput("msgbox No\n");
    Output();
    // With a step delay the box shows, without taking input, until the script's line answers.
    frontEnd->SetStepDelay(20);
    bool shownWhileScripted = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
                shownWhileScripted = box->text() == "First?";
    });
    EXPECT_EQ(MessageBoxA(nullptr, "First?", "Rivlet", MB_YESNO), IDNO);
    EXPECT_TRUE(shownWhileScripted);
    WhenShown<QMessageBox>([](QMessageBox& box) {
        QTest::mouseClick(cadhost::gui::ButtonOf(box, IDYES), Qt::LeftButton);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Second?", "Rivlet", MB_YESNO | MB_DEFBUTTON2), IDYES);
    std::string log = Output();
    std::size_t first = log.find("** MessageBox answered No");
    std::size_t second = log.find("** MessageBox answered Yes");
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
}

} // namespace
} // namespace gui_test
