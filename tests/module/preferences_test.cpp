#include "specsheet/preferences.h"

#include "frame_test_folders.h"

#include "win/environment.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const char* const APP_PATHS =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WORDPAD.EXE";

void SetRaw(HKEY root, const char* subKey, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetText(HKEY root, const char* subKey, const char* name, const std::string& text) {
    SetRaw(root, subKey, name, REG_SZ, text + '\0');
}

// A stored preference as REG_SZ text with its zero, read without the module's reader.
std::optional<std::string> Stored(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PREFERENCES_KEY, 0, KEY_QUERY_VALUE, &key))
        return std::nullopt;
    std::string data(100000, '\0');
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (result || type != REG_SZ || size == 0 || data[size - 1] != '\0')
        return std::nullopt;
    return data.substr(0, size - 1);
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironmentVariableA("ProgramFiles", "C:\\Program Files"); }
    void TearDown() override { SetEnvironmentVariableA("ProgramFiles", nullptr); }
    FreshFolders folders;
    MessageBoxRecorder recorder;
};

TEST_F(PreferencesTest, EmptyRegistryGivesDefaultsAndStoresThemAll) {
    {
        CMtextVars vars;
        EXPECT_EQ(vars.m_HSpacer, 0.5);
        EXPECT_EQ(vars.m_THeight, 0.25);
        EXPECT_EQ(vars.m_VHeight, 0.15);
        EXPECT_EQ(vars.m_Spacer, 0.25);
        EXPECT_EQ(vars.m_RtfFolder + vars.m_Generate + vars.m_WordPad, "");
    }
    EXPECT_EQ(Stored("SPACER"), "0.250000");
    EXPECT_EQ(Stored("HSPACER"), "0.500000");
    EXPECT_EQ(Stored("THEIGHT"), "0.250000");
    EXPECT_EQ(Stored("VHEIGHT"), "0.150000");
    EXPECT_EQ(Stored("RTFFOLDER"), "");
    EXPECT_EQ(Stored("GENERATE"), "");
    EXPECT_EQ(Stored("WORDPAD"), std::nullopt);
}

TEST_F(PreferencesTest, SizesFallBackToDefaultsOnlyForZeroOrNoNumber) {
    SetText(HKEY_CURRENT_USER, PREFERENCES_KEY, "THEIGHT", "0");
    SetText(HKEY_CURRENT_USER, PREFERENCES_KEY, "VHEIGHT", "tall");
    SetText(HKEY_CURRENT_USER, PREFERENCES_KEY, "SPACER", "-1");
    SetText(HKEY_CURRENT_USER, PREFERENCES_KEY, "HSPACER", "  2.5 inches");
    {
        CMtextVars vars;
        EXPECT_EQ(vars.m_THeight, 0.25);
        EXPECT_EQ(vars.m_VHeight, 0.15);
        EXPECT_EQ(vars.m_Spacer, -1.0);
        EXPECT_EQ(vars.m_HSpacer, 2.5);
    }
    EXPECT_EQ(Stored("THEIGHT"), "0.250000");
}

TEST_F(PreferencesTest, WordPadComesFromAppPathsUntilAPathIsStored) {
    SetRaw(HKEY_LOCAL_MACHINE, APP_PATHS, "", REG_EXPAND_SZ,
           std::string("\"%ProgramFiles%\\Accessories\\WORDPAD.EXE\"") + '\0');
    EXPECT_EQ(CMtextVars().m_WordPad, "C:\\Program Files\\Accessories\\WORDPAD.EXE");
    SetText(HKEY_LOCAL_MACHINE, APP_PATHS, "", "C:\\Other.exe");
    EXPECT_EQ(CMtextVars().m_WordPad, "C:\\Program Files\\Accessories\\WORDPAD.EXE");

    // A stored empty path is a path all the same, and is not overwritten.
    SetText(HKEY_CURRENT_USER, PREFERENCES_KEY, "WORDPAD", "");
    EXPECT_EQ(CMtextVars().m_WordPad, "");
    EXPECT_EQ(Stored("WORDPAD"), "");
}

TEST_F(PreferencesTest, WithoutProgramFilesTheAppPathsTextIsKeptAsIs) {
    SetEnvironmentVariableA("ProgramFiles", "");
    SetText(HKEY_LOCAL_MACHINE, APP_PATHS, "", "\"%ProgramFiles%\\WORDPAD.EXE\"");
    EXPECT_EQ(CMtextVars().m_WordPad, "\"%ProgramFiles%\\WORDPAD.EXE\"");
}

TEST_F(PreferencesTest, SheetListOfAnyLengthSurvivesTheRoundTrip) {
    std::string list;
    while (list.size() < 20000)
        list += "C:\\Specs\\Section " + std::to_string(list.size()) + ".rtf;";
    CMtextVars().m_Generate = list;
    EXPECT_EQ(CMtextVars().m_Generate, list);
}

TEST_F(PreferencesTest, ReadTakesTextUpToItsZeroAndLeavesItAloneOnFailure) {
    const char* key = "Software\\Test";
    SetRaw(HKEY_CURRENT_USER, key, "expand", REG_EXPAND_SZ, std::string("%TEMP%\\x") + '\0');
    SetRaw(HKEY_CURRENT_USER, key, "dword", REG_DWORD, std::string("AB\0\0", 4));
    SetRaw(HKEY_CURRENT_USER, key, "binary", REG_BINARY, "xyz");
    SetRaw(HKEY_CURRENT_USER, key, "", REG_SZ, std::string("first\0second", 12));
    std::string text;
    ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, key, "expand", text));
    EXPECT_EQ(text, "%TEMP%\\x");
    ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, key, "dword", text));
    EXPECT_EQ(text, "AB");
    ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, key, "", text));
    EXPECT_EQ(text, "first");
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, key, "binary", text));
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, key, "missing", text));
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, "Software\\Nowhere", "x", text));
    EXPECT_EQ(text, "first");
}

TEST_F(PreferencesTest, WriteReportsAHiveThatCannotBeWritten) {
    EXPECT_TRUE(
        WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location", "C:\\R\\"));
    WriteBytes(folders.Prefix() + "/user.reg", "this is not a hive\n");
    EXPECT_FALSE(WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "SPACER", "1"));
    { CMtextVars survivesSilently; }
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(FileBytes(folders.Prefix() + "/user.reg"), "this is not a hive\n");
}

} // namespace
