#include "../../win/src/reg_file.h"
#include "fresh_prefix.h"
#include "registry_helpers.h"
#include "win/registry.h"

#include <string>
#include <vector>

namespace {

using wintest::CreateKey;
using wintest::QueryBytes;
using wintest::QueryString;
using wintest::ReadBytes;
using wintest::SetString;
using wintest::WriteBytes;

class Registry : public wintest::FreshPrefix {
protected:
    std::string UserHive() const { return prefix + "/user.reg"; }
    std::string SystemHive() const { return prefix + "/system.reg"; }

    // The hive file as a fresh reader sees it.
    win::detail::Hive Reparse(const std::string& file, const char* root) {
        win::detail::Hive hive;
        hive.rootName = root;
        std::string error;
        EXPECT_TRUE(win::detail::ParseRegFile(ReadBytes(file), hive, &error)) << error;
        return hive;
    }
};

TEST_F(Registry, CreateMakesParentsAndNamesIgnoreCase) {
    DWORD disposition = 0;
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\KSR\\MTEXT\\Preferences", &disposition);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    key = CreateKey(HKEY_CURRENT_USER, "SOFTWARE\\ksr\\Mtext\\preferences", &disposition);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\KSR", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    char name[64];
    DWORD length = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(opened, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "MTEXT") << "names keep the spelling they were created with";
    RegCloseKey(opened);

    std::string text = ReadBytes(UserHive());
    EXPECT_EQ(text.rfind("REGEDIT4\n\n", 0), 0u);
    for (const char* section :
         {"[HKEY_CURRENT_USER\\Software]\n", "[HKEY_CURRENT_USER\\Software\\KSR]\n",
          "[HKEY_CURRENT_USER\\Software\\KSR\\MTEXT\\Preferences]\n"})
        EXPECT_NE(text.find(section), std::string::npos) << section << "\n" << text;

    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, &opened),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(opened, nullptr);
}

TEST_F(Registry, ValuesKeepTypeDataAndNameSpelling) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\KSR\\MTEXT\\Preferences");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(SetString(key, "SPACER", "0.250000"), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "spacer", "0.500000"), ERROR_SUCCESS) << "same value, other case";
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Spacer", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 9u) << "REG_SZ data includes its terminating zero";
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "SPACER", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(QueryString(key, "SPACER"), "0.500000");

    char name[32];
    DWORD nameLength = sizeof name;
    ASSERT_EQ(RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "SPACER");
    nameLength = 3;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);

    // The default value: null and "" name the same one; it is missing until set.
    EXPECT_EQ(QueryBytes(key, nullptr), "<error 2>");
    EXPECT_EQ(SetString(key, nullptr, "default"), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, ""), "default");

    DWORD number = 42;
    EXPECT_EQ(RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
              ERROR_SUCCESS);
    DWORD back = 0;
    size = sizeof back;
    EXPECT_EQ(RegQueryValueExA(key, "count", nullptr, &type, reinterpret_cast<BYTE*>(&back), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(back, 42u);

    EXPECT_EQ(RegDeleteValueA(key, "COUNT"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "Count"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, AccessRightsOfAHandleAreChecked) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\App"));
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\App", 0, KEY_READ, &reader),
              ERROR_SUCCESS);
    EXPECT_EQ(SetString(reader, "x", "1"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(reader, "x"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(reader, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(reader, nullptr), ERROR_ACCESS_DENIED);

    HKEY writer = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\App", 0, KEY_WRITE, &writer),
              ERROR_SUCCESS);
    EXPECT_EQ(SetString(writer, "x", "1"), ERROR_SUCCESS);
    EXPECT_EQ(QueryBytes(writer, "x"), "<error 5>");
    EXPECT_EQ(QueryString(reader, "x"), "1");
    char name[8];
    DWORD length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(writer, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
    RegCloseKey(writer);
    EXPECT_EQ(RegCloseKey(writer), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_USERS, "x", 0, KEY_READ, &reader), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, EverythingWrittenReadsBackFromTheFile) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Round\\Trip");
    ASSERT_NE(key, nullptr);
    const std::string tricky = "C:\\Program Files\\\"Word\"\\ ; [x] = \xC3\xA9t\xC3\xA9";
    SetString(key, "quote\"and\\slash", tricky);
    SetString(key, "lines", "one\r\ntwo\n");
    SetString(key, "expand", "%ProgramFiles%\\x", REG_EXPAND_SZ);
    const char multi[] = "a\0bc\0";
    RegSetValueExA(key, "multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), 6);
    RegSetValueExA(key, "unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    RegSetValueExA(key, "empty", 0, REG_BINARY, nullptr, 0);
    RegSetValueExA(key, "odd", 0, 0x1234, reinterpret_cast<const BYTE*>("\x01\xff"), 2);
    RegCloseKey(key);
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\Empty\\Leaf"));

    win::detail::Hive hive = Reparse(UserHive(), "HKEY_CURRENT_USER");
    const win::detail::RegKey* trip =
        win::detail::FindKey(hive.root, {"software", "round", "trip"});
    ASSERT_NE(trip, nullptr);
    auto bytes = [&](const char* name) {
        const win::detail::RegValue* value = trip->FindValue(name);
        return value ? std::string(value->data.begin(), value->data.end()) + "/" +
                           std::to_string(value->type)
                     : std::string("<missing>");
    };
    EXPECT_EQ(bytes("quote\"and\\slash"), tricky + std::string(1, '\0') + "/1");
    EXPECT_EQ(bytes("lines"), std::string("one\r\ntwo\n\0/1", 12));
    EXPECT_EQ(bytes("expand"), std::string("%ProgramFiles%\\x\0/2", 19));
    EXPECT_EQ(bytes("multi"), std::string("a\0bc\0\0/7", 8));
    EXPECT_EQ(bytes("unterminated"), "abc/1");
    EXPECT_EQ(bytes("empty"), "/3");
    EXPECT_EQ(bytes("odd"), "\x01\xff/4660");
    EXPECT_NE(win::detail::FindKey(hive.root, {"Software", "Empty", "Leaf"}), nullptr)
        << "empty keys persist";
    EXPECT_NE(ReadBytes(UserHive()).find("[HKEY_CURRENT_USER\\Software\\Empty]\n"),
              std::string::npos);
}

TEST_F(Registry, ChangesMadeByOthersToTheFileAreSeen) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Shared");
    SetString(key, "v", "mine");
    EXPECT_EQ(QueryString(key, "v"), "mine");
    // Another program (or a person) rewrites the hive: CR LF, comments, a continued hex line.
    WriteBytes(UserHive(), "REGEDIT4\r\n\r\n; edited by hand\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Shared]\r\n"
                           "\"v\"=\"theirs\"\r\n"
                           "\"bin\"=hex:01,02,\\\r\n    03\r\n");
    EXPECT_EQ(QueryString(key, "v"), "theirs");
    EXPECT_EQ(QueryBytes(key, "bin"), "\x01\x02\x03");
    SetString(key, "w", "added");
    EXPECT_EQ(QueryString(key, "v"), "theirs") << "a write starts from the file, not the cache";
    RegCloseKey(key);
}

TEST_F(Registry, DeleteKeyRefusesSubkeysDeleteTreeTakesAll) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\Tree\\Branch\\Leaf"));
    HKEY branch = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tree\\Branch", 0, KEY_ALL_ACCESS, &branch),
        ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tree\\Branch\\Leaf"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tree\\Branch\\Leaf"),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\Tree\\Branch\\Again\\Deeper"));
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "software\\tree"), ERROR_SUCCESS);
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tree", 0, KEY_READ, &gone),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SetString(branch, "x", "1"), ERROR_KEY_DELETED) << "its key was deleted";
    RegCloseKey(branch);
    EXPECT_EQ(ReadBytes(UserHive()).find("Tree"), std::string::npos);
}

TEST_F(Registry, SubkeysListInNameOrder) {
    for (const char* name : {"Wall", "attic", "Roof"})
        RegCloseKey(CreateKey(HKEY_CURRENT_USER, (std::string("Software\\List\\") + name).c_str()));
    HKEY list = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\List", 0, KEY_READ, &list),
              ERROR_SUCCESS);
    std::vector<std::string> names;
    char name[16];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(list, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(result, ERROR_SUCCESS);
        EXPECT_EQ(length, std::string(name).size());
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"attic", "Roof", "Wall"}));
    DWORD subkeys = 0, values = 7;
    EXPECT_EQ(RegQueryInfoKeyA(list, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(values, 0u);
    RegCloseKey(list);
}

TEST_F(Registry, ClassesRootIsAViewOfMachineClasses) {
    HKEY rtf = CreateKey(HKEY_CLASSES_ROOT, ".rtf");
    ASSERT_NE(rtf, nullptr);
    SetString(rtf, nullptr, "Word.RTF.8");
    RegCloseKey(rtf);
    HKEY machine = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.RTF", 0, KEY_READ, &machine),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryString(machine, ""), "Word.RTF.8");
    RegCloseKey(machine);
    EXPECT_NE(ReadBytes(SystemHive())
                  .find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\.rtf]\n@=\"Word.RTF.8\""),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(UserHive())) << "nothing was written for the user";
}

TEST_F(Registry, LargeValuesReadBackWhole) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Big");
    std::string text(20000, 'x');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    std::string binary(20000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7);
    SetString(key, "text", text);
    RegSetValueExA(key, "binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>(binary.data()),
                   static_cast<DWORD>(binary.size()));
    RegCloseKey(key);

    // Read through a fresh parse of the file, as another process would.
    win::detail::Hive hive = Reparse(UserHive(), "HKEY_CURRENT_USER");
    const win::detail::RegKey* big = win::detail::FindKey(hive.root, {"Software", "Big"});
    ASSERT_NE(big, nullptr);
    ASSERT_NE(big->FindValue("binary"), nullptr);
    EXPECT_EQ(
        std::string(big->FindValue("binary")->data.begin(), big->FindValue("binary")->data.end()),
        binary);
    EXPECT_EQ(big->FindValue("text")->data.size(), text.size() + 1);
    key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Big", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, "text"), text);
    RegCloseKey(key);
    // Hex data is wrapped so that the file stays readable.
    std::string file = ReadBytes(UserHive());
    std::size_t longest = 0;
    for (std::size_t start = 0, end; (end = file.find('\n', start)) != std::string::npos;
         start = end + 1)
        if (file.compare(start, 6, "\"text\"") != 0)
            longest = std::max(longest, end - start);
    EXPECT_LE(longest, 80u);
}

} // namespace
