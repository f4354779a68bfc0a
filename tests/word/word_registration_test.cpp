// WordServer /RegServer and /UnregServer.
#include "word_helpers.h"

namespace {

class WordRegistrationTest : public wordtest::WordTest {
protected:
    std::optional<DWORD> Run(const std::string& switches) {
        return win::RunAndWait(wordtest::Quoted(wordtest::BinaryPath("WordServer")) + " " +
                               switches);
    }
    std::string Default(const std::string& key) {
        HKEY h = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
            return "<missing>";
        char data[512] = {};
        DWORD size = sizeof data;
        RegQueryValueExA(h, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(h);
        return data;
    }
    // A python3 without the UNO module.
    std::string PythonWithoutUno() {
        std::string path = tmp + "/python3";
        wintest::WriteBytes(path, "#!/bin/sh\n[ \"$1\" = -c ] && exit 1\nexec " +
                                      std::string(RIVLET_PYTHON) + " \"$@\"\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
};

const std::string kApp = "{000209FF-0000-0000-C000-000000000046}";

TEST_F(WordRegistrationTest, RegistersTheProgIdsAndTheServerAndRemovesThem) {
    if (std::string missing = word::MissingPrerequisite(); !missing.empty())
        GTEST_SKIP() << "skipped: LibreOffice or python3-uno missing (" << missing << ")";
    ASSERT_EQ(Run("/RegServer"), std::optional<DWORD>(0));
    EXPECT_EQ(Default("Word.Application\\CLSID"), kApp);
    EXPECT_EQ(Default("Word.Application\\CurVer"), "Word.Application.8");
    EXPECT_EQ(Default("Word.Application.8\\CLSID"), kApp);
    EXPECT_EQ(Default("Word.Document.8\\CLSID"), "{00020906-0000-0000-C000-000000000046}");
    EXPECT_EQ(Default("CLSID\\" + kApp + "\\LocalServer32"),
              wordtest::Quoted(wordtest::BinaryPath("WordServer")));
    EXPECT_EQ(Default("CLSID\\" + kApp + "\\ProgID"), "Word.Application.8");
    EXPECT_EQ(Default("CLSID\\" + kApp + "\\VersionIndependentProgID"), "Word.Application");
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, word::CLSID_WordApplication));

    ASSERT_EQ(Run("-unregserver"), std::optional<DWORD>(0));
    EXPECT_EQ(Default("Word.Application"), "<missing>");
    EXPECT_EQ(Default("CLSID\\" + kApp), "<missing>");
    EXPECT_EQ(CLSIDFromProgID(L"Word.Application", &clsid), CO_E_CLASSSTRING);
    // Removing what is not there is no failure.
    EXPECT_EQ(Run("/UnregServer"), std::optional<DWORD>(0));
}

TEST_F(WordRegistrationTest, RefusesWithoutLibreOfficeOrTheUnoModule) {
    EXPECT_EQ(Run("/Frobnicate"), std::optional<DWORD>(1));
    const char* path = std::getenv("PATH");
    std::string original = path ? path : "";
    std::string emptyFolder = tmp + "/empty";
    std::filesystem::create_directories(emptyFolder);
    SaveAndSet("PATH", emptyFolder.c_str());
    EXPECT_EQ(Run("/RegServer"), std::optional<DWORD>(1));
    EXPECT_EQ(Default("Word.Application"), "<missing>");
    SaveAndSet("PATH", original.c_str());
    if (word::FindOnPath("soffice").empty())
        GTEST_SKIP() << "skipped: LibreOffice or python3-uno missing";
    SaveAndSet("RIVLET_WORD_PYTHON", PythonWithoutUno().c_str());
    EXPECT_EQ(Run("/RegServer"), std::optional<DWORD>(1));
    EXPECT_EQ(Default("Word.Application"), "<missing>");
    EXPECT_EQ(Default("CLSID\\" + kApp), "<missing>");
}

} // namespace
