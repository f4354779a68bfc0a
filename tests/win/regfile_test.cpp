#include "../../win/src/reg_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using win::detail::Hive;
using win::detail::ParseRegFile;

std::string ErrorOf(const std::string& text) {
    Hive hive;
    hive.rootName = "HKEY_CURRENT_USER";
    std::string error;
    return ParseRegFile(text, hive, &error) ? "<parsed>" : error;
}

std::string Value(const Hive& hive, std::vector<std::string> path, const char* name) {
    const win::detail::RegKey* key = win::detail::FindKey(hive.root, path);
    const win::detail::RegValue* value = key ? key->FindValue(name) : nullptr;
    return value ? std::string(value->data.begin(), value->data.end()) : "<missing>";
}

TEST(RegFile, RefusalsNameTheLine) {
    EXPECT_EQ(ErrorOf("[HKEY_CURRENT_USER\\A]\n"), "line 1: the file does not begin with REGEDIT4");
    EXPECT_EQ(ErrorOf("REGEDIT4\n\n\"v\"=\"x\"\n"), "line 3: a value comes before any key");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n").substr(0, 8), "line 2: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=-\n").substr(0, 8), "line 3: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n").substr(0, 8), "line 2: ")
        << "a section of another root";
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n").substr(0, 8), "line 2: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n").substr(0, 8), "line 3: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n").substr(0, 8),
              "line 3: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,,02\n").substr(0, 8),
              "line 3: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\\\n").substr(0, 8),
              "line 3: ");
    EXPECT_EQ(ErrorOf("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"x\" trailing\n").substr(0, 8),
              "line 3: ");
}

TEST(RegFile, HandWrittenFilesAreUnderstood) {
    Hive hive;
    hive.rootName = "HKEY_CURRENT_USER";
    std::string error;
    ASSERT_TRUE(ParseRegFile("\xEF\xBB\xBFREGEDIT4\r\n"
                             "; a comment\r\n"
                             "[hkey_current_user\\Software\\App]\r\n"
                             "\"Path\"=\"C:\\Program Files\\App\"\r\n"
                             "  \"Spaced\" = dword:2A\r\n"
                             "[HKEY_CURRENT_USER\\Software\\App]\r\n"
                             "@=\"merged\"\r\n"
                             "\"Bin\"=hex(7):61,00,\\\r\n"
                             "      62,00,00\r\n",
                             hive, &error))
        << error;
    EXPECT_EQ(Value(hive, {"Software", "App"}, "path"), std::string("C:\\Program Files\\App\0", 21))
        << "a backslash before another character is kept";
    EXPECT_EQ(Value(hive, {"Software", "App"}, "Spaced"), std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(Value(hive, {"Software", "App"}, ""), std::string("merged\0", 7));
    EXPECT_EQ(Value(hive, {"Software", "App"}, "bin"), std::string("a\0b\0\0", 5));
    EXPECT_EQ(win::detail::FindKey(hive.root, {"Software", "App"})->Values()[3].type, 7u);
}

TEST(RegFile, WritingThenReadingGivesTheSameHive) {
    Hive hive;
    hive.rootName = "HKEY_LOCAL_MACHINE";
    win::detail::RegKey& key = hive.root.AddSubkey("Software").AddSubkey("Odd ]Name[");
    auto bytes = [](const std::string& text) {
        return std::vector<BYTE>(text.begin(), text.end());
    };
    key.SetValue("", 1, bytes(std::string("\"quoted\\\"\0", 10)));
    key.SetValue("tab\there", 1, bytes(std::string("a\tb\0", 4)));
    key.SetValue("zero inside", 1, bytes(std::string("a\0b\0", 4)));
    key.SetValue("short dword", 4, bytes("\x01\x02"));
    key.SetValue("qword", 11, bytes("12345678"));
    hive.root.AddSubkey("Empty");

    std::string text = win::detail::FormatRegFile(hive);
    Hive again;
    again.rootName = "HKEY_LOCAL_MACHINE";
    std::string error;
    ASSERT_TRUE(ParseRegFile(text, again, &error)) << error << "\n" << text;
    EXPECT_EQ(win::detail::FormatRegFile(again), text);
    const win::detail::RegKey* odd = win::detail::FindKey(again.root, {"Software", "Odd ]Name["});
    ASSERT_NE(odd, nullptr);
    ASSERT_EQ(odd->Values().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(odd->Values()[i].name, key.Values()[i].name);
        EXPECT_EQ(odd->Values()[i].type, key.Values()[i].type);
        EXPECT_EQ(odd->Values()[i].data, key.Values()[i].data) << odd->Values()[i].name;
    }
    EXPECT_NE(win::detail::FindKey(again.root, {"Empty"}), nullptr);
}

} // namespace
