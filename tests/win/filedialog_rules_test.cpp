#include "temp_folder.h"
#include "test_front_end.h"

#include "win/filedialog.h"
#include "win/msgbox.h"
#include "win/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CADHOST_PREFIX", m_prefix.c_str(), 1);
        InstallAnswerers();
    }
    void InstallAnswerers() {
        frontEnd.emplace();
        frontEnd->fileDialogs = [this](const win::FileDialogRequest& request) {
            requests.push_back(request);
            if (answers.empty())
                return std::optional<std::string>();
            std::optional<std::string> next = answers.front();
            answers.pop_front();
            return next;
        };
        frontEnd->messageBoxes = [this](const win::MessageBoxRequest& request) {
            boxes.push_back(request);
            if (boxAnswers.empty())
                return win::DefaultButtonOf(request.type);
            int next = boxAnswers.front();
            boxAnswers.pop_front();
            return next;
        };
    }
    void TearDown() override { frontEnd.reset(); }

    std::string Touch(const std::string& name) {
        std::string path = m_work + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }
    std::string Windows(const std::string& unixPath) { return win::ToWindowsPath(unixPath); }

    std::optional<TestFrontEnd> frontEnd;
    std::deque<std::optional<std::string>> answers;
    std::deque<int> boxAnswers;
    std::vector<win::FileDialogRequest> requests;
    std::vector<win::MessageBoxRequest> boxes;
    rivlet_test::TempFolder m_prefixFolder{"filedialog-prefix"}, m_workFolder{"filedialog-work"};
    const std::string m_prefix = m_prefixFolder.path();
    const std::string m_work = m_workFolder.path();
};

TEST_F(FileDialogTest, MissingFileIsRefusedAndTheNextAnswerTaken) {
    std::string existing = Touch("roof.rtf");
    answers = {m_work + "/missing.rtf", existing};
    CFileDialog dialog(TRUE, "rtf", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), Windows(existing));
    EXPECT_EQ(requests.size(), 2u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.find(Windows(m_work + "/missing.rtf") + "\nFile not found."), 0u)
        << boxes[0].text;
    EXPECT_EQ(win::IconName(boxes[0].type), "warning");
}

TEST_F(FileDialogTest, MissingFolderIsRefusedWhenThePathMustExist) {
    answers = {m_work + "/no/such/folder/out.txt", m_work + "/out.txt"};
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_PATHMUSTEXIST);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), Windows(m_work + "/out.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Path does not exist"), std::string::npos);
}

TEST_F(FileDialogTest, FolderIsNoFileName) {
    fs::create_directory(m_work + "/sub.rtf");
    answers = {m_work + "/sub.rtf", std::nullopt};
    CFileDialog dialog(TRUE);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileDialogTest, NameMustFitTheBufferWithItsZero) {
    // A buffer of 261 characters takes a path of 260 and no longer.
    std::string folder = Windows(m_work) + "\\";
    std::string fits = folder + std::string(260 - folder.size(), 'a');
    std::string tooLong = folder + std::string(261 - folder.size(), 'b');
    ASSERT_EQ(fits.size(), 260u);

    char buffer[261] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = sizeof buffer;
    answers = {fits};
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(buffer), fits);
    EXPECT_EQ(ofn.nFileOffset, folder.size());

    answers = {tooLong};
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    WORD needed = 0;
    std::memcpy(&needed, buffer, sizeof needed);
    EXPECT_EQ(needed, 262);

    CFileDialog dialog(TRUE);
    dialog.m_ofn.lpstrFile = buffer;
    dialog.m_ofn.nMaxFile = sizeof buffer;
    answers = {tooLong};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileDialogTest, DefaultExtensionGoesOnNamesWithout) {
    CFileDialog save(FALSE, "*.doc", nullptr, OFN_HIDEREADONLY);
    save.m_ofn.lpstrInitialDir = m_work.c_str();
    answers = {"notes"};
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), Windows(m_work + "/notes.doc"));
    EXPECT_EQ(save.GetFileName(), "notes.doc");
    EXPECT_EQ(save.GetFileExt(), "doc");
    EXPECT_EQ(save.GetFileTitle(), "notes");
    EXPECT_EQ(requests.back().defaultExtension, "doc");
    EXPECT_FALSE(save.m_ofn.Flags & OFN_EXTENSIONDIFFERENT);

    answers = {"notes.TXT"};
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetFileName(), "notes.TXT");
    EXPECT_TRUE(save.m_ofn.Flags & OFN_EXTENSIONDIFFERENT);

    // In an Open dialog a file picked exactly as it is named keeps its name.
    std::string readme = Touch("README");
    CFileDialog open(TRUE, "doc", nullptr, OFN_FILEMUSTEXIST);
    answers = {readme};
    ASSERT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), Windows(readme));
    EXPECT_EQ(open.GetFileExt(), "");
}

TEST_F(FileDialogTest, AnswerComesBackAsAFullWindowsPath) {
    fs::create_directories(m_prefix + "/drive_c/Sheets");
    std::ofstream(m_prefix + "/drive_c/Sheets/roof.rtf") << "x";
    answers = {m_prefix + "/drive_c/Sheets/./roof.rtf", "Q:\\nowhere\\x.rtf",
               "c:/Sheets/sub/../roof.rtf"};
    CFileDialog dialog(TRUE);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\Sheets\\roof.rtf");
    // A drive that does not exist is refused even without existence checks.
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(dialog.GetPathName(), "C:\\Sheets\\roof.rtf");
}

TEST_F(FileDialogTest, RelativeAnswerIsTakenFromTheInitialName) {
    Touch("b.rtf");
    std::string initial = Windows(m_work + "/a.rtf");
    CFileDialog dialog(TRUE, nullptr, initial.c_str(), OFN_FILEMUSTEXIST);
    answers = {"b.rtf"};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), Windows(m_work + "/b.rtf"));
    EXPECT_EQ(requests[0].initialName, initial);
}

TEST_F(FileDialogTest, OverwriteAndCreatePromptsAskYesOrNo) {
    std::string existing = Touch("old.rtf");
    answers = {existing, existing};
    boxAnswers = {IDNO, IDYES};
    CFileDialog save(FALSE); // hide read-only and overwrite prompt by default
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(requests.size(), 2u);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, Windows(existing) + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, MB_YESNO);

    boxes.clear();
    answers = {m_work + "/new.rtf"};
    boxAnswers = {IDNO};
    CFileDialog open(TRUE, nullptr, nullptr, OFN_CREATEPROMPT);
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Do you want to create it?"), std::string::npos);
}

TEST_F(FileDialogTest, FrameworkFilterBecomesTheListOfFileTypes) {
    CFileDialog dialog(
        TRUE, "*.doc", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
        "Documents (*.doc)|*.doc|Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt||");
    dialog.m_ofn.lpstrTitle = "Open specification document:";
    dialog.DoModal();
    ASSERT_EQ(requests.size(), 1u);
    const win::FileDialogRequest& request = requests[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.title, "Open specification document:");
    ASSERT_EQ(request.filters.size(), 3u);
    EXPECT_EQ(request.filters[1].description, "Rich Text (*.rtf)");
    EXPECT_EQ(request.filters[1].pattern, "*.rtf");
    EXPECT_EQ(request.filters[2].pattern, "*.txt");
    EXPECT_EQ(request.maxLength, MAX_PATH);
    EXPECT_TRUE(request.flags & OFN_PATHMUSTEXIST);

    // One filter without the closing "||", its blanks kept.
    CFileDialog single(TRUE, "exe", "WordPad.exe", OFN_HIDEREADONLY, "*.exe | *.exe");
    single.DoModal();
    ASSERT_EQ(requests.size(), 2u);
    ASSERT_EQ(requests[1].filters.size(), 1u);
    EXPECT_EQ(requests[1].filters[0].description, "*.exe ");
    EXPECT_EQ(requests[1].filters[0].pattern, " *.exe");
    EXPECT_EQ(requests[1].initialName, "WordPad.exe");
    EXPECT_EQ(requests[1].title, "Open");
}

TEST_F(FileDialogTest, OwnerWindowIsHandedToTheAnswerer) {
    CWnd frame;
    ASSERT_TRUE(frame.Create("Drawing1.dwg"));
    EXPECT_EQ(CWnd::FromHandle(frame.GetSafeHwnd()), &frame);
    char title[8];
    EXPECT_EQ(GetWindowTextA(frame.m_hWnd, title, sizeof title), 7);
    EXPECT_STREQ(title, "Drawing");

    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, nullptr, &frame);
    dialog.DoModal();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].owner, frame.GetSafeHwnd());

    HWND stale = frame.m_hWnd;
    EXPECT_TRUE(frame.DestroyWindow());
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_EQ(frame.GetSafeHwnd(), nullptr);
}

TEST(FileDialogFilters, StructFormDropsAnUnpairedDescription) {
    const char filter[] = "Text\0*.txt\0All\0*.*\0Dangling\0";
    std::vector<win::FileFilter> filters = win::ParseFilterList(filter);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[1].description, "All");
    EXPECT_EQ(filters[1].pattern, "*.*");
    EXPECT_TRUE(win::ParseFilterList(nullptr).empty());
}

TEST_F(FileDialogTest, AnswererThatKeepsFailingIsStopped) {
    frontEnd->fileDialogs = [this](const win::FileDialogRequest&) {
        requests.emplace_back();
        return std::optional<std::string>(m_work + "/never-there.rtf");
    };
    testing::internal::CaptureStderr();
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(requests.size(), static_cast<std::size_t>(win::kMaxFileDialogAttempts));
}

TEST_F(FileDialogTest, CancelAndBadStructures) {
    CFileDialog dialog(TRUE);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL); // no answers left: the answerer cancels
    EXPECT_EQ(CommDlgExtendedError(), 0u);

    frontEnd.reset();
    std::string existing = Touch("x.rtf");
    CFileDialog noAnswerer(TRUE);
    EXPECT_EQ(noAnswerer.DoModal(), IDCANCEL);

    char buffer[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = 12;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);

    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400;
    ofn.lpstrFile = nullptr;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);

    // The older form of the structure is a valid one.
    InstallAnswerers();
    answers = {existing};
    CFileDialog older(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, nullptr, nullptr,
                      OPENFILENAME_SIZE_VERSION_400);
    EXPECT_EQ(older.DoModal(), IDOK);
}

} // namespace
