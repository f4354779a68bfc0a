// The bridge to the Word server (finding it, converting a batch of documents, quitting it) and
// "Convert Docs" of the sheet dialog, on the real server in the test's own prefix.
#include "corpus.h"
#include "specsheet_test_host.h"

#include "specsheet/newspecsheet.h"
#include "specsheet/resource.h"
#include "wordconv/worddoc2wordrtf.h"

#include "win/com.h"
#include "win/paths.h"
#include "win/process.h"
#include "win/registry.h"
#include "win/richedit.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kWordMissing[] = "Word was not installed on this workstation. You must have at least "
                            "Word 97 installed on your workstation prior to using this "
                            "application.";
const char kNoClassId[] = "Can't get the class Id for Word";

std::string CorpusDocument(const char* name) {
    return (rivlet_test::CorpusDir() / "doc" / name).string();
}

// Registers the Word server in the test's prefix (CADHOST_PREFIX is the fixture's).
bool RegisterWordServer() {
    std::string server = std::string(RIVLET_BINARY_DIR) + "/bin/WordServer";
    if (!std::filesystem::exists(server))
        return false;
    std::optional<DWORD> status =
        win::RunAndWait("\"" + win::ToWindowsPath(server) + "\" /RegServer");
    return status == std::optional<DWORD>(0);
}

// Whether a Word registered itself as running; polled a while, since the server revokes its
// registration on its own side as it quits.
bool WordRunning() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Word.Application", &clsid)))
        return false;
    IUnknown* unknown = nullptr;
    HRESULT hr = GetActiveObject(clsid, nullptr, &unknown);
    if (SUCCEEDED(hr) && unknown)
        unknown->Release();
    return SUCCEEDED(hr);
}

bool WordGone() {
    for (int i = 0; i < 500; ++i) {
        if (!WordRunning())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Bytes that are no document of any kind, zero bytes among them.
std::string Garbage() {
    std::mt19937 random(1234);
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>(i % 7 == 0 ? 0 : random() & 0xFF);
    return bytes;
}

class WordDocBridgeTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::filesystem::create_directories(folders.DriveC() + "/docs");
        CoInitialize(nullptr);
    }
    void TearDown() override {
        CoUninitialize();
        HostTest::TearDown();
    }
    // Skips the test when the server cannot be registered here.
    void RegisterOrSkip() {
        if (!RegisterWordServer())
            GTEST_SKIP() << "skipped: LibreOffice or python3-uno missing";
    }
    // A corpus document copied to C:\docs, by its Windows path ("" when the corpus lacks it).
    std::string Document(const char* corpusName, const std::string& as) {
        if (!std::filesystem::exists(CorpusDocument(corpusName)))
            return "";
        std::filesystem::copy_file(CorpusDocument(corpusName), folders.DriveC() + "/docs/" + as);
        return "C:\\docs\\" + as;
    }
};

TEST_F(WordDocBridgeTest, WithoutWordRegisteredTheBridgeSaysSoAndConvertsNothing) {
    MessageBoxRecorder boxes;
    WordDoc2WordRtf word;
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kWordMissing);
    EXPECT_EQ(word.m_App, nullptr);
    std::string rtf = "untouched";
    EXPECT_FALSE(word.ConvertToRtf("C:\\docs\\none.doc", rtf));
    EXPECT_EQ(rtf, "untouched");
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(WordDocBridgeTest, WithoutTheVersionIndependentProgIdTheClassIdIsMissing) {
    RegisterOrSkip();
    ASSERT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Word.Application"), ERROR_SUCCESS);
    CLSID clsid;
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"Word.Application.8", &clsid)));
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"Word.Document.8", &clsid)));

    MessageBoxRecorder boxes;
    WordDoc2WordRtf word;
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kNoClassId);
    EXPECT_EQ(word.m_App, nullptr);
    std::string rtf;
    EXPECT_FALSE(word.ConvertToRtf("C:\\docs\\none.doc", rtf));
    EXPECT_FALSE(WordRunning());
}

TEST_F(WordDocBridgeTest, OneBridgeConvertsABatchPastFailedDocumentsAndQuitsWord) {
    RegisterOrSkip();
    std::string simple = Document("simple.doc", "simple.doc");
    std::string word6 = Document("Word6.doc", "Word6.doc");
    if (simple.empty() || word6.empty())
        GTEST_SKIP() << "skipped: corpus documents missing";
    WriteBytes(folders.DriveC() + "/docs/garbage.doc", Garbage());

    MessageBoxRecorder boxes;
    {
        WordDoc2WordRtf word;
        ASSERT_NE(word.m_App, nullptr);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(WordRunning());

        std::string rtf;
        ASSERT_TRUE(word.ConvertToRtf(simple.c_str(), rtf));
        EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf.substr(0, 40);
        EXPECT_NE(rtf.find("simple file"), std::string::npos);

        std::string missing;
        EXPECT_FALSE(word.ConvertToRtf("C:\\docs\\not-there.doc", missing));
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;

        std::string garbage;
        EXPECT_FALSE(word.ConvertToRtf("C:\\docs\\garbage.doc", garbage));

        std::string next;
        ASSERT_TRUE(word.ConvertToRtf(word6.c_str(), next));
        EXPECT_EQ(next.rfind("{\\rtf", 0), 0u);
        EXPECT_NE(next.find("quick brown fox"), std::string::npos);
        EXPECT_NE(word.m_App, nullptr);
    }
    EXPECT_TRUE(WordGone());
}

TEST_F(WordDocBridgeTest, ASecondBridgeAttachesToTheRunningWord) {
    RegisterOrSkip();
    std::string simple = Document("simple.doc", "simple.doc");
    std::string word6 = Document("Word6.doc", "Word6.doc");
    if (simple.empty() || word6.empty())
        GTEST_SKIP() << "skipped: corpus documents missing";

    MessageBoxRecorder boxes;
    {
        WordDoc2WordRtf first;
        ASSERT_NE(first.m_App, nullptr);
        WordDoc2WordRtf second;
        ASSERT_NE(second.m_App, nullptr);
        EXPECT_TRUE(WordRunning());
        std::string one, two;
        EXPECT_TRUE(first.ConvertToRtf(simple.c_str(), one));
        EXPECT_TRUE(second.ConvertToRtf(word6.c_str(), two));
        EXPECT_NE(one.find("simple file"), std::string::npos);
        EXPECT_NE(two.find("quick brown fox"), std::string::npos);
        EXPECT_TRUE(boxes.boxes.empty());
    }
    EXPECT_TRUE(WordGone());
}

// ---- Convert Docs of the sheet dialog --------------------------------------------------------

// The banner's plain text as it is given (each time a document is streamed in) and at each of
// its paints.
NewSpecSheet* g_dialog = nullptr;
WNDPROC g_bannerProc = nullptr;
std::vector<std::string>* g_given = nullptr;
std::vector<std::string>* g_painted = nullptr;

void RecordBanner(std::vector<std::string>* into) {
    if (!into || !g_dialog)
        return;
    std::string text;
    g_dialog->m_Banner.StreamOutText(text, false);
    if (into->empty() || into->back() != text)
        into->push_back(text);
}

LRESULT RecordingBannerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT)
        RecordBanner(g_painted);
    LRESULT result = CallWindowProcA(g_bannerProc, hWnd, msg, wParam, lParam);
    if (msg == EM_STREAMIN)
        RecordBanner(g_given);
    return result;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

class ConvertDocsTest : public SpecSheetTest {
protected:
    void SetUp() override {
        SpecSheetTest::SetUp();
        if (IsSkipped())
            return;
        CoInitialize(nullptr);
        m_initialised = true;
        if (!RegisterWordServer())
            GTEST_SKIP() << "skipped: LibreOffice or python3-uno missing";
    }
    void TearDown() override {
        g_dialog = nullptr;
        g_given = nullptr;
        g_painted = nullptr;
        if (m_initialised)
            CoUninitialize();
        SpecSheetTest::TearDown();
    }

private:
    bool m_initialised = false;
};

TEST_F(ConvertDocsTest, EveryDocumentOfTheFolderBecomesRichTextWithTheBannerFollowing) {
    if (!std::filesystem::exists(CorpusDocument("simple.doc")) ||
        !std::filesystem::exists(CorpusDocument("Word6.doc")))
        GTEST_SKIP() << "skipped: corpus documents missing";
    std::string folder = folders.DriveC() + "/Docs";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(CorpusDocument("simple.doc"), folder + "/Report.doc");
    std::filesystem::copy_file(CorpusDocument("Word6.doc"), folder + "/Report.rev2.doc");
    const std::string old = "{\\rtf1\\ansi Old report text\\par}";
    WriteBytes(folder + "/Report.rtf", old);
    SetPreference("RTFFOLDER", "C:\\Docs");

    std::vector<std::string> given, painted;
    std::string warningCaption;
    bool subclassed = false;
    NewSpecSheet dialog;
    g_dialog = &dialog;
    Then([&](HWND d) {
        HWND banner = Control(d, IDC_BANNER);
        g_bannerProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            banner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingBannerProc)));
        subclassed = g_bannerProc != nullptr;
        g_given = &given;
        g_painted = &painted;
        Click(d, IDC_CONVERT_DOCS);
    });
    Then([&](HWND warning) {
        char caption[64] = {};
        GetWindowTextA(warning, caption, sizeof caption);
        warningCaption = caption;
        Click(warning, IDOK);
    });
    Then([&](HWND d) {
        RedrawWindow(Control(d, IDC_BANNER), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        g_given = nullptr;
        g_painted = nullptr;
        SetWindowLongPtrA(Control(d, IDC_BANNER), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(g_bannerProc));
        win::UserPressesKey(VK_ESCAPE);
    });
    dialog.DoModal();
    ASSERT_TRUE(subclassed);
    EXPECT_EQ(warningCaption, "RTF OverWrites!");
    EXPECT_TRUE(ui().steps.empty());

    // The banner's texts in the order they were given, the first line of each.
    std::vector<std::string> lines;
    for (const std::string& text : given)
        lines.push_back(FirstLine(text));
    EXPECT_EQ(lines, (std::vector<std::string>{"Launching MS Word...", "Converting Report.doc",
                                               "Converting Report.rev2.doc", "2 RTFs Created"}));
    EXPECT_NE(given.at(1).find("PLEASE WAIT ..."), std::string::npos);
    // Each progress text is painted while the work it announces runs, the count last.
    std::vector<std::string> paintedLines;
    for (const std::string& text : painted)
        if (paintedLines.empty() || paintedLines.back() != FirstLine(text))
            paintedLines.push_back(FirstLine(text));
    EXPECT_EQ(paintedLines,
              (std::vector<std::string>{"Launching MS Word...", "Converting Report.doc",
                                        "Converting Report.rev2.doc", "2 RTFs Created"}));
    EXPECT_TRUE(ui().boxes.empty()) << ui().boxes[0].text;

    std::string report = FileBytes(folder + "/Report.rtf");
    EXPECT_EQ(report.rfind("{\\rtf", 0), 0u);
    EXPECT_EQ(report.find("Old report text"), std::string::npos);
    EXPECT_NE(report.find("simple file"), std::string::npos);
    std::string revised = FileBytes(folder + "/Report.rev2.rtf");
    EXPECT_EQ(revised.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(revised.find("quick brown fox"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder + "/Report.rev2.doc.rtf"));
    EXPECT_TRUE(WordGone());
}

} // namespace
