#include "test_front_end.h"

#include "win/msgbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    std::vector<win::MessageBoxRequest>& asked = frontEnd.boxes;

    void AnswerWith(int id) {
        frontEnd.messageBoxes = [id](const win::MessageBoxRequest&) { return id; };
    }

    TestFrontEnd frontEnd;
};

TEST(MessageBoxButtons, ButtonsAndDefaults) {
    EXPECT_EQ(win::ButtonsOf(MB_OK), (std::vector<int>{IDOK}));
    EXPECT_EQ(win::ButtonsOf(MB_ABORTRETRYIGNORE | MB_ICONSTOP),
              (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(win::ButtonsOf(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(win::ButtonsOf(MB_RETRYCANCEL), (std::vector<int>{IDRETRY, IDCANCEL}));
    EXPECT_TRUE(win::ButtonsOf(0x7).empty());

    EXPECT_EQ(win::DefaultButtonOf(MB_YESNO), IDYES);
    EXPECT_EQ(win::DefaultButtonOf(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(win::DefaultButtonOf(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    // A default beyond the buttons of the box falls back to the first, as Windows does.
    EXPECT_EQ(win::DefaultButtonOf(MB_YESNO | MB_DEFBUTTON3), IDYES);
    EXPECT_EQ(win::DefaultButtonOf(MB_OK | MB_DEFBUTTON2), IDOK);
    EXPECT_EQ(win::DefaultButtonOf(0x7), 0);
}

TEST(MessageBoxButtons, NamesAndIcons) {
    EXPECT_EQ(win::ButtonName(IDIGNORE), "Ignore");
    EXPECT_EQ(win::ButtonName(IDNO), "No");
    EXPECT_EQ(win::ButtonName(42), "");
    EXPECT_EQ(win::IconName(MB_OK | MB_ICONERROR), "stop");
    EXPECT_EQ(win::IconName(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), "question");
    EXPECT_EQ(win::IconName(MB_ICONWARNING), "warning");
    EXPECT_EQ(win::IconName(MB_ICONINFORMATION), "information");
    EXPECT_EQ(win::IconName(MB_OKCANCEL), "");
}

TEST(MessageBoxButtons, ParseButtonKnowsOnlyTheBoxsButtons) {
    EXPECT_EQ(win::ParseButton("yes", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(win::ParseButton("  CANCEL ", MB_OKCANCEL | MB_ICONSTOP), IDCANCEL);
    EXPECT_EQ(win::ParseButton("Retry", MB_ABORTRETRYIGNORE), IDRETRY);
    EXPECT_EQ(win::ParseButton("Cancel", MB_YESNO), 0);
    EXPECT_EQ(win::ParseButton("OK", MB_YESNO), 0);
    EXPECT_EQ(win::ParseButton("", MB_OK), 0);
    EXPECT_EQ(win::ParseButton("okay", MB_OK), 0);
}

TEST_F(MessageBoxTest, AnswererSeesTheBoxAndDecides) {
    AnswerWith(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Replace it?", "Title", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Replace it?");
    EXPECT_EQ(asked[0].caption, "Title");
    EXPECT_EQ(asked[0].type, MB_YESNO | MB_ICONQUESTION);

    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO), IDNO);
    EXPECT_EQ(asked[1].text, "");
    EXPECT_EQ(asked[1].caption, "Error");
}

TEST_F(MessageBoxTest, FrameworkBoxCarriesTheApplicationName) {
    AnswerWith(IDOK);
    win::SetApplicationName("KSRRivlet");
    EXPECT_EQ(AfxMessageBox("Failed to lock Document"), IDOK);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "KSRRivlet");
    EXPECT_EQ(asked[0].type, MB_OK);
}

TEST_F(MessageBoxTest, AnswerThatIsNoButtonOfTheBoxPressesTheDefault) {
    AnswerWith(IDCANCEL);
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, "Continue?", "T", MB_YESNO | MB_DEFBUTTON2);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDNO);
    EXPECT_NE(log.find("not a button"), std::string::npos) << log;
}

TEST_F(MessageBoxTest, NonexistentButtonCodeIsRefusedWithoutAsking) {
    AnswerWith(IDOK);
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", 0x6), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(asked.empty());
}

TEST(MessageBoxWithoutFrontEnd, LogsOneLineAndPressesTheDefault) {
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, "C:\\x.rtf\nFile not found.", "Open",
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    int plain = MessageBoxA(nullptr, "Done", "App", MB_OK);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(plain, IDOK);
    EXPECT_EQ(log, "MessageBox [question] Open: C:\\x.rtf\\nFile not found. -> No\n"
                   "MessageBox [] App: Done -> OK\n");
}

TEST_F(MessageBoxTest, AFrontEndInstalledInsideAnotherGivesItBackWhenItGoes) {
    AnswerWith(IDYES);
    {
        TestFrontEnd inner;
        inner.messageBoxes = [](const win::MessageBoxRequest&) { return IDNO; };
        EXPECT_EQ(win::GetFrontEnd(), &inner);
        EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDNO);
    }
    EXPECT_EQ(win::GetFrontEnd(), &frontEnd);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
}

} // namespace
