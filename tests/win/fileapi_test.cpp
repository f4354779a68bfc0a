#include "fresh_prefix.h"
#include "win/fileapi.h"
#include "win/handles.h"
#include "win/paths.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using wintest::FreshPrefix;
using wintest::ReadBytes;
using wintest::WriteBytes;
namespace fs = std::filesystem;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING) {
    return CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD Error() {
    return GetLastError();
}

class Files : public FreshPrefix {
protected:
    void SetUp() override {
        FreshPrefix::SetUp();
        fs::create_directories(DriveC() + "/Specs");
        WriteBytes(DriveC() + "/Specs/Roof.rtf", "old content");
    }
};

TEST_F(Files, DispositionsCreateOpenAndTruncateAsWindowsDoes) {
    EXPECT_EQ(Open("C:\\Specs\\Roof.rtf", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(Open("C:\\Specs\\Wall.rtf", GENERIC_READ, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Open("C:\\NoFolder\\Wall.rtf", GENERIC_READ, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Open("C:\\Specs\\Wall.rtf", GENERIC_WRITE, 0, TRUNCATE_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    HANDLE kept = Open("C:\\Specs\\Roof.rtf", GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(kept, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(kept);
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Roof.rtf"), "old content");

    HANDLE emptied = Open("C:\\Specs\\Roof.rtf", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(emptied, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(emptied);
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Roof.rtf"), "");

    HANDLE fresh = Open("C:\\Specs\\New.rtf", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(fresh);

    EXPECT_EQ(Open("C:\\Specs", GENERIC_READ, kShareAll), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Files, ReadWriteSeekAndSize) {
    HANDLE file = Open("C:\\Specs\\Data.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(file, "0123456789", 10, &done, nullptr));
    EXPECT_EQ(done, 10u);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);

    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(std::string(buffer, done), "6789");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(done, 0u) << "end of file is success with no bytes";

    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
    ASSERT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 3u);
    EXPECT_TRUE(FlushFileBuffers(file));
    CloseHandle(file);
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Data.bin"), "012");

    HANDLE reader = Open("C:\\Specs\\Data.bin", GENERIC_READ, kShareAll);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(reader);
    EXPECT_FALSE(ReadFile(reader, buffer, 1, &done, nullptr)) << "a closed handle is dead";
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Files, ShareModesAreEnforcedBetweenHandles) {
    const char* path = "C:\\Specs\\Roof.rtf";
    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    // The open handle does not share writing ...
    EXPECT_EQ(Open(path, GENERIC_WRITE, kShareAll), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // ... and a newcomer that does not share reading cannot join a reader.
    EXPECT_EQ(Open(path, GENERIC_READ, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    // The same file reached by another spelling of its path is the same file.
    EXPECT_EQ(Open("c:/Specs/../Specs/Roof.rtf", GENERIC_WRITE, kShareAll), INVALID_HANDLE_VALUE);
    // A truncating open that is refused must not have emptied the file first.
    EXPECT_EQ(Open(path, GENERIC_WRITE, kShareAll, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Roof.rtf"), "old content");

    EXPECT_FALSE(DeleteFileA(path));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileExA(path, "C:\\Specs\\Moved.rtf", 0));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(reader);
    CloseHandle(second);

    HANDLE writer = Open(path, GENERIC_WRITE, kShareAll);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileA(path)) << "FILE_SHARE_DELETE allows deleting an open file";
    CloseHandle(writer);
    EXPECT_FALSE(fs::exists(DriveC() + "/Specs/Roof.rtf"));
}

TEST_F(Files, ReadOnlyFilesRefuseWritingAndDeletion) {
    std::string unixPath = DriveC() + "/Specs/Roof.rtf";
    chmod(unixPath.c_str(), 0444);
    EXPECT_EQ(GetFileAttributesA("C:\\Specs\\Roof.rtf") & FILE_ATTRIBUTE_READONLY,
              FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Open("C:\\Specs\\Roof.rtf", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA("C:\\Specs\\Roof.rtf"));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadBytes(unixPath), "old content");
    HANDLE reader = Open("C:\\Specs\\Roof.rtf", GENERIC_READ, FILE_SHARE_READ);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);

    HANDLE created = CreateFileA("C:\\Specs\\Locked.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(created, "abc", 3, &done, nullptr)) << "the creator may still write";
    CloseHandle(created);
    EXPECT_NE(GetFileAttributesA("C:\\Specs\\Locked.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(Files, AFullDiskIsReportedAsDiskFull) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    HANDLE full = Open("Z:\\dev\\full", GENERIC_WRITE, kShareAll);
    ASSERT_NE(full, INVALID_HANDLE_VALUE);
    DWORD done = 7;
    EXPECT_FALSE(WriteFile(full, "data", 4, &done, nullptr));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(done, 0u);
    CloseHandle(full);
}

TEST_F(Files, MoveReplacesOnlyWhenAsked) {
    WriteBytes(DriveC() + "/Specs/Wall.rtf", "wall");
    EXPECT_FALSE(MoveFileExA("C:\\Specs\\Wall.rtf", "C:\\Specs\\Roof.rtf", 0));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Roof.rtf"), "old content");
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Wall.rtf"), "wall");

    EXPECT_TRUE(
        MoveFileExA("C:\\Specs\\Wall.rtf", "C:\\Specs\\Roof.rtf", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadBytes(DriveC() + "/Specs/Roof.rtf"), "wall");
    EXPECT_FALSE(fs::exists(DriveC() + "/Specs/Wall.rtf"));

    EXPECT_FALSE(MoveFileExA("C:\\Specs\\Gone.rtf", "C:\\Specs\\X.rtf", 0));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    fs::create_directories(DriveC() + "/Folder");
    EXPECT_FALSE(MoveFileExA("C:\\Specs\\Roof.rtf", "C:\\Folder", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::is_directory(DriveC() + "/Folder"));
}

TEST_F(Files, AttributesDescribeWhatTheEntryIs) {
    std::string fifo = DriveC() + "/Specs/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    WriteBytes(DriveC() + "/Specs/.hidden", "");
    EXPECT_EQ(GetFileAttributesA("C:\\Specs"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA("C:\\Specs\\Roof.rtf"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesA("C:\\Specs\\pipe"), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(GetFileAttributesA("C:\\Specs\\.hidden"),
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(GetFileAttributesA("C:\\Specs\\missing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("C:\\Missing\\x"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // Opening a fifo must not hang waiting for the other end.
    HANDLE pipe = Open("C:\\Specs\\pipe", GENERIC_READ, kShareAll);
    EXPECT_NE(pipe, INVALID_HANDLE_VALUE);
    CloseHandle(pipe);
}

} // namespace
