#include "../../win/src/registry_faults.h"
#include "fresh_prefix.h"
#include "registry_helpers.h"
#include "win/registry.h"

#include <cerrno>
#include <filesystem>
#include <string>

namespace {

using wintest::CreateKey;
using wintest::QueryString;
using wintest::ReadBytes;
using wintest::SetString;
using wintest::WriteBytes;
namespace fs = std::filesystem;

class RegistryFailures : public wintest::FreshPrefix {
protected:
    void TearDown() override {
        win::detail::InjectHiveWriteFailures(0, win::detail::HiveWriteFault::AfterPartialWrite, 0);
        wintest::FreshPrefix::TearDown();
    }
    std::string UserHive() const { return prefix + "/user.reg"; }

    // Files in the prefix other than the hive, its lock and drive_c: leftovers of a write.
    int StrayFiles() const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(prefix)) {
            std::string name = entry.path().filename().string();
            if (name != "user.reg" && name != "user.reg.lock" && name != "drive_c")
                ++count;
        }
        return count;
    }
};

TEST_F(RegistryFailures, AFailedWriteLeavesTheOldHiveByteForByte) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Safe");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(SetString(key, "kept", "old value"), ERROR_SUCCESS);
    const std::string before = ReadBytes(UserHive());

    struct Case {
        win::detail::HiveWriteFault where;
        int error;
        LONG expected;
    };
    for (Case c : {Case{win::detail::HiveWriteFault::AfterPartialWrite, EIO, ERROR_CANTWRITE},
                   Case{win::detail::HiveWriteFault::AfterPartialWrite, ENOSPC, ERROR_DISK_FULL},
                   Case{win::detail::HiveWriteFault::AtSync, EIO, ERROR_CANTWRITE},
                   Case{win::detail::HiveWriteFault::AtRename, EIO, ERROR_CANTWRITE}}) {
        win::detail::InjectHiveWriteFailures(1, c.where, c.error);
        EXPECT_EQ(SetString(key, "kept", "new value"), c.expected);
        EXPECT_EQ(ReadBytes(UserHive()), before);
        EXPECT_EQ(StrayFiles(), 0) << "the half-written file is removed";
        EXPECT_EQ(QueryString(key, "kept"), "old value") << "the failed change is not kept";
        HKEY child = nullptr;
        win::detail::InjectHiveWriteFailures(1, c.where, c.error);
        EXPECT_EQ(
            RegCreateKeyExA(key, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            c.expected);
        EXPECT_EQ(child, nullptr);
        EXPECT_EQ(ReadBytes(UserHive()), before);
    }
    EXPECT_EQ(SetString(key, "kept", "new value"), ERROR_SUCCESS) << "the next write works";
    EXPECT_EQ(QueryString(key, "kept"), "new value");
    RegCloseKey(key);
}

TEST_F(RegistryFailures, ACorruptHiveIsReportedOnceAndNeverRewritten) {
    const std::string corrupt = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Mine]\n"
                                "\"good\"=\"value\"\n\"broken\"=dword:xyz\n";
    fs::create_directories(prefix);
    WriteBytes(UserHive(), corrupt);

    testing::internal::CaptureStderr();
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mine", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SetString(HKEY_CURRENT_USER, "x", "y"), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software"), ERROR_REGISTRY_CORRUPT);
    std::string report = testing::internal::GetCapturedStderr();

    EXPECT_EQ(ReadBytes(UserHive()), corrupt);
    std::string expected = "registry: cannot read " + UserHive() + ", line 5: ";
    ASSERT_NE(report.find(expected), std::string::npos) << report;
    EXPECT_EQ(report.find(expected), report.rfind(expected)) << "reported once:\n" << report;
    EXPECT_NE(report.find("left untouched"), std::string::npos);

    // The machine hive is a different file and still works.
    EXPECT_EQ(SetString(HKEY_LOCAL_MACHINE, "ok", "1"), ERROR_SUCCESS);

    // Once the user repairs the file, its keys are back.
    WriteBytes(UserHive(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Mine]\n\"good\"=\"value\"\n");
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mine", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, "good"), "value");
    RegCloseKey(key);
}

TEST_F(RegistryFailures, AHiveThatCannotBeSavedIsReportedOnce) {
    // A folder where the user hive's lock file belongs: no write can take the lock.
    fs::create_directories(UserHive() + ".lock");
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SetString(HKEY_CURRENT_USER, "Preferences", "value"), ERROR_CANTWRITE);
    // A machine hive whose file cannot be put in place, twice.
    for (int i = 0; i < 2; ++i) {
        win::detail::InjectHiveWriteFailures(1, win::detail::HiveWriteFault::AtRename, EIO);
        EXPECT_EQ(SetString(HKEY_LOCAL_MACHINE, "Setting", "value"), ERROR_CANTWRITE);
    }
    std::string report = testing::internal::GetCapturedStderr();

    const std::string user = "registry: cannot save " + UserHive() + ", its lock " + UserHive() +
                             ".lock cannot be taken (Is a directory); changes to its keys are "
                             "not kept\n";
    const std::string machine = "registry: cannot save " + prefix +
                                "/system.reg, it cannot be written (Input/output error); "
                                "changes to its keys are not kept\n";
    EXPECT_EQ(report, user + machine) << "each hive once";
    EXPECT_FALSE(fs::exists(UserHive()));

    fs::remove(UserHive() + ".lock");
    EXPECT_EQ(SetString(HKEY_CURRENT_USER, "Preferences", "value"), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, "Preferences"), "value");
}

TEST_F(RegistryFailures, AMissingHiveIsEmptyUntilTheFirstWrite) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(UserHive())) << "reading creates nothing";
    EXPECT_EQ(SetString(HKEY_CURRENT_USER, "first", "1"), ERROR_SUCCESS);
    EXPECT_EQ(ReadBytes(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\"first\"=\"1\"\n\n");
}

} // namespace
