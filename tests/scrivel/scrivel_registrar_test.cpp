#include "scrivel/registrar.h"
#include "temp_folder.h"

#include "win/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("CADHOST_PREFIX", m_prefix.c_str(), 1); }

    static bool KeyExists(const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static std::optional<std::string> Text(const std::string& path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        char data[512] = "";
        DWORD size = sizeof data;
        DWORD type = 0;
        LSTATUS status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        return std::string(data);
    }
    static std::optional<DWORD> Number(const std::string& path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        LSTATUS status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_DWORD)
            return std::nullopt;
        return value;
    }
    static void CreateKey(const std::string& path) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::string HiveBytes() const {
        std::ifstream in(m_prefix + "/system.reg", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    rivlet_test::TempFolder m_prefixFolder{"registrar-prefix"};
    const std::string m_prefix = m_prefixFolder.path();
};

constexpr const char* kScript = R"(
HKCR
{
    NoRemove Shared
    {
        ForceRemove 'Tool.%NAME%' = s 'Tool ''%NAME%'' at %MODULE%'
        {
            val Count = d '0x2A'
            val Level = d '017'
            Sub = s '100%%'
        }
        Plain
        {
            val Where = s '%MODULE%'
        }
        val Marker = s 'here'
        Delete Stale
    }
}
)";

scrivel::Replacements Values() {
    return {{"name", "Ed"}, {"MODULE", "C:\\Bob's {tools}\\ed.exe"}};
}

TEST_F(RegistrarTest, RegistersKeysValuesAndReplacements) {
    CreateKey("Shared\\Stale\\Below");
    CreateKey("Shared\\Tool.Ed\\Leftover");
    CreateKey("Shared\\Plain\\Kept");
    std::string error;
    ASSERT_EQ(scrivel::RegisterScript(kScript, Values(), &error), S_OK) << error;

    // The replaced path, apostrophe and braces included, is data, not script.
    EXPECT_EQ(Text("Shared\\Tool.Ed", nullptr), "Tool 'Ed' at C:\\Bob's {tools}\\ed.exe");
    EXPECT_EQ(Number("Shared\\Tool.Ed", "Count"), 42u);
    EXPECT_EQ(Number("Shared\\Tool.Ed", "Level"), 17u) << "decimal, not octal";
    EXPECT_EQ(Text("Shared\\Tool.Ed\\Sub", ""), "100%");
    EXPECT_EQ(Text("Shared\\Plain", "Where"), "C:\\Bob's {tools}\\ed.exe");
    EXPECT_EQ(Text("Shared", "Marker"), "here");
    // ForceRemove cleared what an older registration left; a plain key keeps its subkeys.
    EXPECT_FALSE(KeyExists("Shared\\Tool.Ed\\Leftover"));
    EXPECT_TRUE(KeyExists("Shared\\Plain\\Kept"));
    EXPECT_FALSE(KeyExists("Shared\\Stale"));

    // Registering twice is the same as once.
    ASSERT_EQ(scrivel::RegisterScript(kScript, Values(), &error), S_OK) << error;
    EXPECT_EQ(Number("Shared\\Tool.Ed", "Count"), 42u);
}

TEST_F(RegistrarTest, UnregistrationKeepsNoRemoveKeysAndRemovesTheRest) {
    ASSERT_EQ(scrivel::RegisterScript(kScript, Values()), S_OK);
    CreateKey("Shared\\SomeoneElse");
    ASSERT_EQ(scrivel::UnregisterScript(kScript, Values()), S_OK);
    EXPECT_TRUE(KeyExists("Shared"));
    EXPECT_TRUE(KeyExists("Shared\\SomeoneElse"));
    EXPECT_FALSE(KeyExists("Shared\\Tool.Ed"));
    EXPECT_FALSE(KeyExists("Shared\\Plain"));
    EXPECT_FALSE(Text("Shared", "Marker"));

    // Nothing left to remove is no failure.
    EXPECT_EQ(scrivel::UnregisterScript(kScript, Values()), S_OK);
}

TEST_F(RegistrarTest, ScriptThatCannotBeReadChangesNothing) {
    const char* broken[] = {
        "HKCR { Key = s 'value' ",                 // brace not closed
        "HKCR { Key = x 'value' }",                // unknown type
        "HKCR { Key = d 'lots' }",                 // not a number
        "HKCR { Key = d '4294967296' }",           // beyond 32 bits
        "HKCR { '%UNKNOWN%' }",                    // nothing to put in
        "HKCR { 'unclosed }",                      // quote not closed
        "HKCR { val AtRoot = s 'x' }",             // a value without a key
        "HKCR { NoRemove ForceRemove Key }",       // contradiction
        "HKXX { Key }",                            // no such root
        "HKCR { Good = s 'fine' } HKCR { Bad = }", // a later error spoils the whole
    };
    for (const char* script : broken) {
        std::string error;
        EXPECT_EQ(scrivel::RegisterScript(script, Values(), &error), scrivel::kScriptSyntaxError)
            << script;
        EXPECT_NE(error.find("line 1"), std::string::npos) << script << ": " << error;
    }
    EXPECT_FALSE(KeyExists("Good"));
    EXPECT_EQ(HiveBytes(), "");
}

TEST_F(RegistrarTest, RegistryFailureIsReturnedAsItsResult) {
    { std::ofstream(m_prefix + "/system.reg") << "this is no hive\n"; }
    std::string before = HiveBytes();
    testing::internal::CaptureStderr();
    HRESULT hr = scrivel::RegisterScript(kScript, Values());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_REGISTRY_CORRUPT));
    EXPECT_EQ(HiveBytes(), before);
}

} // namespace
