// The Word server through the client side of the object runtime, on the real LibreOffice
// worker: activation by ProgID, Open, SaveAs, Close, Quit, a second client, and no LibreOffice
// left behind.
#include "corpus.h"
#include "word_helpers.h"

#include <climits>
#include <fstream>

using wordtest::Call;
using wordtest::Eventually;
using wordtest::Invoked;
using wordtest::ObjectOf;
using wordtest::TextOf;

namespace {

// When a test starts this program as another client, it does that client's part and ends
// before any test runs (WORD_TEST_CLIENT says what, WORD_TEST_CLIENT_OUT where to report).
bool RunClientPart() {
    const char* mode = std::getenv("WORD_TEST_CLIENT");
    const char* out = std::getenv("WORD_TEST_CLIENT_OUT");
    if (!mode || !out)
        return false;
    CoInitialize(nullptr);
    std::string which = mode;
    std::string report = "failed";
    IUnknown* unknown = nullptr;
    IDispatch* app = nullptr;
    HRESULT hr = which == "count"
                     ? GetActiveObject(word::CLSID_WordApplication, nullptr, &unknown)
                     : CoCreateInstance(word::CLSID_WordApplication, nullptr, CLSCTX_LOCAL_SERVER,
                                        IID_IUnknown, reinterpret_cast<void**>(&unknown));
    if (SUCCEEDED(hr) &&
        SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&app)))) {
        IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
        if (docs && which == "count") {
            report = std::to_string(static_cast<long>(Call(docs, L"Count", 2).result));
        } else if (docs) {
            std::string doc =
                win::ToWindowsPath((rivlet_test::CorpusDir() / "doc/simple.doc").string());
            IDispatch* opened =
                ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t(doc.c_str())}));
            report = opened ? "opened" : "not opened";
            std::ofstream(out) << report;
            _exit(0); // gone without releasing anything or quitting
        }
    }
    std::ofstream(out) << report;
    _exit(0);
}

[[maybe_unused]] const bool g_clientPartDone = RunClientPart();

class WordAutomationTest : public wordtest::WordTest {
protected:
    void SetUp() override {
        WordTest::SetUp();
        if (std::string missing = word::MissingPrerequisite(); !missing.empty())
            GTEST_SKIP() << "skipped: LibreOffice or python3-uno missing (" << missing << ")";
        SKIP_WITHOUT_CORPUS("doc");
        ASSERT_EQ(
            win::RunAndWait(wordtest::Quoted(wordtest::BinaryPath("WordServer")) + " /RegServer"),
            std::optional<DWORD>(0));
        std::filesystem::create_directories(DriveC() + "/Sections");
        std::filesystem::copy_file(rivlet_test::CorpusDir() / "doc/simple.doc",
                                   DriveC() + "/Sections/Раздел 1.doc");
    }

    std::string OtherClient(const char* mode) {
        char self[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        self[n > 0 ? n : 0] = '\0';
        std::string out = tmp + "/client-" + mode;
        SaveAndSet("WORD_TEST_CLIENT", mode);
        SaveAndSet("WORD_TEST_CLIENT_OUT", out.c_str());
        std::optional<DWORD> status = win::RunAndWait(wordtest::Quoted(self));
        SaveAndSet("WORD_TEST_CLIENT", nullptr);
        EXPECT_EQ(status, std::optional<DWORD>(0));
        return wintest::ReadBytes(out);
    }

    bool NothingLeft() { return Servers().empty() && Offices().empty(); }
};

TEST_F(WordAutomationTest, ConvertsADocumentAndQuits) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Servers().size(), 1u);
    EXPECT_FALSE(Offices().empty());
    IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
    ASSERT_NE(docs, nullptr);
    IDispatch* doc = ObjectOf(
        Call(docs, L"Open", DISPATCH_METHOD,
             {_variant_t("C:\\Sections\\Раздел 1.doc"), _variant_t(false), _variant_t(true)}));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(static_cast<long>(Call(docs, L"count", DISPATCH_PROPERTYGET).result), 1);
    EXPECT_EQ(TextOf(doc, L"Name"), "Раздел 1.doc");

    ASSERT_EQ(Call(doc, L"SaveAs", DISPATCH_METHOD,
                   {_variant_t("C:\\Sections\\Раздел 1.rtf"), _variant_t(6L)})
                  .hr,
              S_OK);
    EXPECT_EQ(wintest::ReadBytes(DriveC() + "/Sections/Раздел 1.rtf").substr(0, 5), "{\\rtf");
    EXPECT_EQ(TextOf(doc, L"FullName"), "C:\\Sections\\Раздел 1.rtf");
    ASSERT_EQ(
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\Sections\\x.docx"), _variant_t(16L)})
            .hr,
        S_OK);
    EXPECT_EQ(wintest::ReadBytes(DriveC() + "/Sections/x.docx").substr(0, 2), "PK");
    ASSERT_EQ(Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\Sections\\x.doc")}).hr, S_OK);
    EXPECT_EQ(wintest::ReadBytes(DriveC() + "/Sections/x.doc").substr(0, 4), "\xD0\xCF\x11\xE0");

    Invoked unsupported =
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\Sections\\x.pdf"), _variant_t(17L)});
    EXPECT_EQ(unsupported.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(unsupported.description, "The file format 17 is not supported.");
    EXPECT_FALSE(std::filesystem::exists(DriveC() + "/Sections/x.pdf"));
    Invoked refused = Call(doc, L"SaveAs", DISPATCH_METHOD,
                           {_variant_t("C:\\No\\Folder\\x.rtf"), _variant_t(6L)});
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
    EXPECT_NE(refused.description.find("no such folder"), std::string::npos) << refused.description;

    Invoked missing = Call(docs, L"Open", DISPATCH_METHOD, {_variant_t("C:\\Sections\\none.doc")});
    EXPECT_EQ(missing.hr, S_OK);
    EXPECT_EQ(missing.result.vt, VT_DISPATCH);
    EXPECT_EQ(missing.result.pdispVal, nullptr);

    EXPECT_EQ(Call(doc, L"Close", DISPATCH_METHOD, {_variant_t(0L)}).hr, S_OK);
    EXPECT_EQ(static_cast<long>(Call(docs, L"Count", DISPATCH_PROPERTYGET).result), 0);
    EXPECT_EQ(
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\Sections\\y.rtf"), _variant_t(6L)})
            .description,
        "The document is closed.");

    EXPECT_EQ(Call(app, L"Quit", DISPATCH_METHOD).hr, S_OK);
    EXPECT_TRUE(Eventually([&] { return NothingLeft(); }));
    IUnknown* running = nullptr;
    EXPECT_EQ(GetActiveObject(word::CLSID_WordApplication, nullptr, &running), MK_E_UNAVAILABLE);
    EXPECT_EQ(Call(docs, L"Count", DISPATCH_PROPERTYGET).hr, RPC_E_DISCONNECTED);
    doc->Release();
    docs->Release();
    app->Release();
}

TEST_F(WordAutomationTest, ASecondClientAttachesToTheRunningServer) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
    ASSERT_NE(docs, nullptr);
    IDispatch* doc =
        ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t("C:\\Sections\\Раздел 1.doc")}));
    ASSERT_NE(doc, nullptr);
    // It sees the document this client opened: the same server.
    EXPECT_EQ(OtherClient("count"), "1");
    EXPECT_EQ(Servers().size(), 1u);
    doc->Release();
    docs->Release();
    EXPECT_EQ(Call(app, L"Quit", DISPATCH_METHOD).hr, S_OK);
    app->Release();
    EXPECT_TRUE(Eventually([&] { return NothingLeft(); }));
}

TEST_F(WordAutomationTest, TheServerEndsWithItsLastClient) {
    // A client process that ends without quitting.
    EXPECT_EQ(OtherClient("vanish"), "opened");
    EXPECT_TRUE(Eventually([&] { return NothingLeft(); }));

    // A client that lets its objects go without quitting.
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
    ASSERT_NE(docs, nullptr);
    IDispatch* doc =
        ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t("C:\\Sections\\Раздел 1.doc")}));
    EXPECT_NE(doc, nullptr);
    EXPECT_FALSE(Offices().empty());
    if (doc)
        doc->Release();
    docs->Release();
    app->Release();
    EXPECT_TRUE(Eventually([&] { return NothingLeft(); }));
}

} // namespace
