// The Word server against a fake worker that fails on purpose: start-up errors, save errors, a
// worker that dies, and what reaches the worker.
#include "word_helpers.h"

using wordtest::Call;
using wordtest::Eventually;
using wordtest::Invoked;
using wordtest::ObjectOf;
using wordtest::TextOf;

namespace {

class WordFakeWorkerTest : public wordtest::WordTest {
protected:
    void SetUp() override {
        WordTest::SetUp();
        log = tmp + "/worker.log";
        SaveAndSet("RIVLET_WORD_WORKER",
                   (std::string(RIVLET_SOURCE_DIR) + "/tests/word/fake_worker.py").c_str());
        SaveAndSet("FAKE_WORKER_LOG", log.c_str());
        // Registered by hand: the fake needs no LibreOffice.
        Register("Word.Application\\CLSID", win::GuidToString(word::CLSID_WordApplication));
        Register("CLSID\\" + win::GuidToString(word::CLSID_WordApplication) + "\\LocalServer32",
                 wordtest::Quoted(wordtest::BinaryPath("WordServer")));
    }

    void Register(const std::string& key, const std::string& value) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(h);
    }

    std::string MakeDocument(const std::string& name) {
        std::filesystem::create_directories(DriveC() + "/Docs");
        wintest::WriteBytes(DriveC() + "/Docs/" + name, "not really a document");
        return "C:\\Docs\\" + name;
    }

    std::string log;
};

TEST_F(WordFakeWorkerTest, AWorkerThatCannotStartLeavesNothingRegistered) {
    SaveAndSet("FAKE_WORKER_MODE", "fail-start");
    IUnknown* app = nullptr;
    EXPECT_EQ(CoCreateInstance(word::CLSID_WordApplication, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&app)),
              CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(app, nullptr);
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_empty(prefix + "/com/classes", ec) || ec);
    EXPECT_EQ(GetActiveObject(word::CLSID_WordApplication, nullptr, &app), MK_E_UNAVAILABLE);
}

TEST_F(WordFakeWorkerTest, RequestsCarryHostPathsAndFilters) {
    std::string name = MakeDocument("Раздел 1 & 2.doc");
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
    ASSERT_NE(docs, nullptr);
    IDispatch* doc = ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t(name.c_str())}));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(TextOf(doc, L"Name"), "Раздел 1 & 2.doc");
    EXPECT_EQ(
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\Docs\\out.rtf"), _variant_t(6L)}).hr,
        S_OK);
    EXPECT_EQ(TextOf(doc, L"FullName"), "C:\\Docs\\out.rtf");
    EXPECT_EQ(Call(doc, L"Close", DISPATCH_METHOD).hr, S_OK);
    EXPECT_EQ(Call(app, L"Quit", DISPATCH_METHOD, {vtMissing, vtMissing, vtMissing}).hr, S_OK);
    doc->Release();
    docs->Release();
    app->Release();
    EXPECT_TRUE(Eventually([&] { return Servers().empty(); }));
    EXPECT_EQ(wintest::ReadBytes(log), "ready\n"
                                       "open " +
                                           DriveC() +
                                           "/Docs/Раздел 1 & 2.doc\n"
                                           "save 1 " +
                                           DriveC() +
                                           "/Docs/out.rtf Rich Text Format\n"
                                           "close 1\n"
                                           "quit\n");
}

TEST_F(WordFakeWorkerTest, SaveFailuresAndAWorkerThatDiesRaiseExceptions) {
    std::string name = MakeDocument("section.doc");
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    IDispatch* docs = ObjectOf(Call(app, L"Documents", DISPATCH_PROPERTYGET));
    ASSERT_NE(docs, nullptr);
    IDispatch* doc = ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t(name.c_str())}));
    ASSERT_NE(doc, nullptr);

    Invoked full =
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\full.rtf"), _variant_t(6L)});
    EXPECT_EQ(full.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(full.description, "disk full: " + DriveC() + "/full.rtf");
    Invoked dies =
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\die.rtf"), _variant_t(6L)});
    EXPECT_EQ(dies.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(dies.description, "the LibreOffice worker ended");
    Invoked after =
        Call(doc, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\x.rtf"), _variant_t(6L)});
    EXPECT_EQ(after.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(after.description, "LibreOffice has ended; the document is no longer open.");

    // The next Open starts a new worker; the old document stays unusable.
    IDispatch* again = ObjectOf(Call(docs, L"Open", DISPATCH_METHOD, {_variant_t(name.c_str())}));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Call(again, L"SaveAs", DISPATCH_METHOD, {_variant_t("C:\\y.rtf"), _variant_t(0L)}).hr,
              S_OK);
    EXPECT_EQ(wintest::ReadBytes(DriveC() + "/y.rtf"), "MS Word 97");
    EXPECT_EQ(Call(doc, L"Close", DISPATCH_METHOD).hr, DISP_E_EXCEPTION);
    Invoked count = Call(docs, L"Count", DISPATCH_PROPERTYGET);
    EXPECT_EQ(static_cast<long>(count.result), 1);
    // A missing file gives no document and no exception.
    Invoked missing = Call(docs, L"Open", DISPATCH_METHOD, {_variant_t("C:\\Docs\\none.doc")});
    EXPECT_EQ(missing.hr, S_OK);
    EXPECT_EQ(missing.result.vt, VT_DISPATCH);
    EXPECT_EQ(missing.result.pdispVal, nullptr);

    again->Release();
    doc->Release();
    docs->Release();
    // The last client going away ends the server without Quit.
    app->Release();
    EXPECT_TRUE(Eventually([&] { return Servers().empty(); }));
    std::string text = wintest::ReadBytes(log);
    EXPECT_EQ(text.substr(text.size() - 5), "quit\n");
}

} // namespace
