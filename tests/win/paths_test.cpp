#include "fresh_prefix.h"
#include "win/fileapi.h"
#include "win/paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using wintest::FreshPrefix;
namespace fs = std::filesystem;

std::string FullPath(const std::string& path) {
    char buffer[1024];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : "<failed>";
}

class Paths : public FreshPrefix {};

TEST_F(Paths, DriveLettersAndSeparatorsMapOntoTheUnixTree) {
    EXPECT_EQ(win::ToHostPath("C:\\Specs\\Roof.rtf"), DriveC() + "/Specs/Roof.rtf");
    EXPECT_EQ(win::ToHostPath("c:/Specs\\Roof.rtf"), DriveC() + "/Specs/Roof.rtf");
    EXPECT_EQ(win::ToHostPath("C:\\"), DriveC());
    EXPECT_EQ(win::ToHostPath("Z:\\usr\\lib"), "/usr/lib");
    EXPECT_EQ(win::ToHostPath("z:/usr/lib/"), "/usr/lib");
    EXPECT_EQ(win::ToHostPath("\\tmp\\x"), "/tmp/x");
    EXPECT_EQ(win::ToHostPath("/tmp/x"), "/tmp/x");
    EXPECT_EQ(win::ToHostPath("Z:\\"), "/");
    EXPECT_TRUE(fs::is_directory(DriveC())) << "the prefix and its drive_c are made on first use";
}

TEST_F(Paths, DotDotNeverClimbsAboveTheDriveRoot) {
    EXPECT_EQ(win::ToHostPath("C:\\..\\..\\etc\\passwd"), DriveC() + "/etc/passwd");
    EXPECT_EQ(win::ToHostPath("C:\\a\\.\\b\\..\\c"), DriveC() + "/a/c");
    EXPECT_EQ(FullPath("C:\\..\\x\\"), "C:\\x\\");
}

TEST_F(Paths, OtherDrivesAndNetworkPathsAreNotFound) {
    for (const char* path : {"D:\\data\\x.txt", "\\\\server\\share\\x", ""}) {
        SetLastError(0);
        EXPECT_EQ(win::ToHostPath(path), "") << path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << path;
    }
    EXPECT_EQ(CreateFileA("D:\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Paths, RelativePathsStartAtTheCurrentDirectory) {
    fs::create_directories(DriveC() + "/work");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\work"));
    char cwd[512];
    ASSERT_EQ(GetCurrentDirectoryA(sizeof cwd, cwd), std::string("C:\\work").size());
    EXPECT_STREQ(cwd, "C:\\work");
    EXPECT_EQ(win::ToHostPath("a\\b.txt"), DriveC() + "/work/a/b.txt");
    EXPECT_EQ(win::ToHostPath("..\\x"), DriveC() + "/x");
    EXPECT_EQ(FullPath("a/b.txt"), "C:\\work\\a\\b.txt");
    // A drive-relative path follows the current directory on its own drive only.
    EXPECT_EQ(FullPath("C:a.txt"), "C:\\work\\a.txt");
    EXPECT_EQ(FullPath("Z:a.txt"), "Z:\\a.txt");
    // A path with a leading separator stays on Z: wherever the current directory is.
    EXPECT_EQ(win::ToHostPath("\\tmp"), "/tmp");
}

TEST_F(Paths, WindowsFormOfUnixPaths) {
    EXPECT_EQ(win::ToWindowsPath(DriveC() + "/Specs/Roof.rtf"), "C:\\Specs\\Roof.rtf");
    EXPECT_EQ(win::ToWindowsPath(DriveC()), "C:\\");
    EXPECT_EQ(win::ToWindowsPath("/usr/share/"), "Z:\\usr\\share");
    EXPECT_EQ(win::ToWindowsPath("/"), "Z:\\");
    // A sibling whose name merely starts like drive_c is not on drive C.
    std::string sibling = prefix + "/drive_cx/f";
    std::string expected = "Z:" + sibling;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(win::ToWindowsPath(sibling), expected);
    for (std::string unixPath : {DriveC() + "/a b/c.txt", std::string("/var/tmp/x.y")})
        EXPECT_EQ(win::ToHostPath(win::ToWindowsPath(unixPath)), unixPath);
}

TEST_F(Paths, PrefixComesFromTheEnvironment) {
    EXPECT_EQ(win::PrefixFolder(), prefix);
    SaveAndSet("CADHOST_PREFIX", "");
    SaveAndSet("XDG_DATA_HOME", (root + "/xdg").c_str());
    EXPECT_EQ(win::PrefixFolder(), root + "/xdg/cadhost");
    EXPECT_TRUE(fs::is_directory(root + "/xdg/cadhost/drive_c"));
    SaveAndSet("XDG_DATA_HOME", nullptr);
    SaveAndSet("HOME", (root + "/home").c_str());
    EXPECT_EQ(win::PrefixFolder(), root + "/home/.local/share/cadhost");
}

TEST_F(Paths, TempPathFollowsTmpdirWithWin32BufferRules) {
    std::string expected = win::ToWindowsPath(tmp) + "\\";
    char buffer[512];
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);

    char small[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(GetTempPathA(sizeof small, small), expected.size() + 1);
    EXPECT_EQ(std::string(small, 4), "keep");

    fs::create_directories(DriveC() + "/Temp");
    SaveAndSet("TMPDIR", (DriveC() + "/Temp").c_str());
    ASSERT_GT(GetTempPathA(sizeof buffer, buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\Temp\\");
    SaveAndSet("TMPDIR", nullptr);
    ASSERT_GT(GetTempPathA(sizeof buffer, buffer), 0u);
    EXPECT_STREQ(buffer, "Z:\\tmp\\");
}

TEST_F(Paths, TempNamesAreUniqueAndOfTheDocumentedForm) {
    char folder[512];
    ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
    std::string stem = std::string(folder) + "ksr" + std::to_string(getpid()) + "-";

    char* first = _tempnam(folder, "ksr");
    ASSERT_NE(first, nullptr);
    std::string firstName = first;
    std::free(first);
    ASSERT_EQ(firstName.compare(0, stem.size(), stem), 0) << firstName;
    unsigned long n = std::stoul(firstName.substr(stem.size()));

    char* second = _tempnam(folder, "ksr");
    EXPECT_EQ(std::string(second), stem + std::to_string(n + 1));
    std::free(second);

    // A name that is taken on disk is skipped.
    wintest::WriteBytes(win::ToHostPath(stem + std::to_string(n + 2)), "taken");
    char* third = _tempnam(folder, "ksr");
    EXPECT_EQ(std::string(third), stem + std::to_string(n + 3));
    EXPECT_FALSE(fs::exists(win::ToHostPath(third)));
    std::free(third);

    // Without a usable folder, the temporary folder is used; the prefix may be null.
    for (const char* dir : {static_cast<const char*>(nullptr), "C:\\does\\not\\exist"}) {
        char* name = _tempnam(dir, nullptr);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(std::string(name).rfind(folder + std::to_string(getpid()) + "-", 0), 0u) << name;
        std::free(name);
    }
}

TEST_F(Paths, FoldersAreCreatedAndRemovedWithWin32Errors) {
    EXPECT_TRUE(CreateDirectoryA("C:\\Specs", nullptr));
    EXPECT_FALSE(CreateDirectoryA("C:\\Specs", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("C:\\No\\Such", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(win::CreateDirectories("C:\\a\\b\\c"));
    EXPECT_TRUE(fs::is_directory(DriveC() + "/a/b/c"));
    EXPECT_TRUE(win::CreateDirectories("C:\\a\\b")) << "an existing folder is fine";
    wintest::WriteBytes(DriveC() + "/a/file", "x");
    EXPECT_FALSE(win::CreateDirectories("C:\\a\\file"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    EXPECT_FALSE(RemoveDirectoryA("C:\\a\\b"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryA("C:\\a\\file"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_TRUE(RemoveDirectoryA("C:\\a\\b\\c"));
    EXPECT_FALSE(fs::exists(DriveC() + "/a/b/c"));
}

TEST_F(Paths, FullPathNameReportsTheFilePartAndTheNeededSize) {
    char buffer[64];
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA("c:/Specs/../Specs/Roof.rtf", sizeof buffer, buffer, &filePart);
    EXPECT_EQ(std::string(buffer), "C:\\Specs\\Roof.rtf");
    EXPECT_EQ(length, 17u);
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "Roof.rtf");
    EXPECT_EQ(GetFullPathNameA("C:\\Specs\\Roof.rtf", 5, buffer, nullptr), 18u);
}

} // namespace
