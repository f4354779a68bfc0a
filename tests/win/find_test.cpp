#include "fresh_prefix.h"
#include "win/fileapi.h"
#include "win/paths.h"

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>

namespace {

using wintest::FreshPrefix;
using wintest::WriteBytes;
namespace fs = std::filesystem;

// Every match of a pattern, by name, with its find data.
std::map<std::string, WIN32_FIND_DATAA> FindAll(const std::string& pattern, DWORD* error) {
    std::map<std::string, WIN32_FIND_DATAA> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    *error = search == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        EXPECT_EQ(found.count(data.cFileName), 0u) << "listed twice: " << data.cFileName;
        found[data.cFileName] = data;
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::set<std::string> Names(const std::map<std::string, WIN32_FIND_DATAA>& found) {
    std::set<std::string> names;
    for (const auto& entry : found)
        names.insert(entry.first);
    return names;
}

class Search : public FreshPrefix {
protected:
    void SetUp() override {
        FreshPrefix::SetUp();
        folder = DriveC() + "/Specs";
        fs::create_directories(folder + "/X.rtf");
        WriteBytes(folder + "/Roof.RTF", "roof text");
        WriteBytes(folder + "/Wall.rtf", "w");
        WriteBytes(folder + "/Note.b.rtf", "");
        WriteBytes(folder + "/x.rtfx", "");
        WriteBytes(folder + "/README", "");
        ASSERT_EQ(mkfifo((folder + "/P.rtf").c_str(), 0644), 0);
    }
    std::string folder;
};

TEST_F(Search, PatternsIgnoreCaseAndReportWhatEachEntryIs) {
    DWORD error = 0;
    auto found = FindAll("C:\\Specs\\*.rtf", &error);
    EXPECT_EQ(Names(found),
              (std::set<std::string>{"Roof.RTF", "Wall.rtf", "Note.b.rtf", "X.rtf", "P.rtf"}));
    EXPECT_EQ(found["X.rtf"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found["P.rtf"].dwFileAttributes, FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(found["Roof.RTF"].dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found["Roof.RTF"].nFileSizeLow, 9u);
    EXPECT_EQ(found["Roof.RTF"].nFileSizeHigh, 0u);
    EXPECT_STREQ(found["Roof.RTF"].cAlternateFileName, "");

    EXPECT_EQ(Names(FindAll("c:/specs/../Specs/R*", &error)),
              (std::set<std::string>{"Roof.RTF", "README"}));
    EXPECT_EQ(Names(FindAll("C:\\Specs\\????.rtf", &error)),
              (std::set<std::string>{"Wall.rtf", "Roof.RTF"}));
    // "*." stands for names without an extension, and "." and ".." are such names.
    EXPECT_EQ(Names(FindAll("C:\\Specs\\*.", &error)),
              (std::set<std::string>{".", "..", "README"}));
}

TEST_F(Search, DotEntriesAppearExceptInADriveRoot) {
    DWORD error = 0;
    auto all = FindAll("C:\\Specs\\*", &error);
    EXPECT_TRUE(all.count(".") && all.count(".."));
    EXPECT_EQ(all["."].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(all.size(), 9u);
    EXPECT_EQ(FindAll("C:\\Specs\\*.*", &error).size(), 9u) << "*.* matches names without dot";

    auto root = FindAll("C:\\*", &error);
    EXPECT_EQ(Names(root), (std::set<std::string>{"Specs"}));
}

TEST_F(Search, FailuresTellMissingFolderFromNoMatch) {
    DWORD error = 0;
    EXPECT_TRUE(FindAll("C:\\Nowhere\\*.rtf", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(FindAll("C:\\Specs\\*.doc", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(FindAll("C:\\Spe*\\*.rtf", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_TRUE(FindAll("C:\\Specs\\roof.rtf", &error).empty())
        << "an exact name is looked up as opening it would: with its case";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindAll("C:\\Specs\\Roof.RTF", &error).size(), 1u);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

TEST_F(Search, FileStatusGivesSizeAndExactWriteTime) {
    // 2021-03-04 05:06:07.1234567 UTC, known as FILETIME 132593079671234567.
    struct timespec times[2] = {{1614834367, 123456789}, {1614834367, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, (folder + "/Roof.RTF").c_str(), times, 0), 0);
    DWORD size = 0;
    FILETIME written{};
    ASSERT_TRUE(win::GetFileStatus("C:\\Specs\\Roof.RTF", &size, &written));
    EXPECT_EQ(size, 9u);
    unsigned long long ticks =
        (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    EXPECT_EQ(ticks, 132593079671234567ULL);

    // A different write time is a different FILETIME, down to the tick.
    times[1].tv_nsec += 100;
    ASSERT_EQ(utimensat(AT_FDCWD, (folder + "/Roof.RTF").c_str(), times, 0), 0);
    FILETIME later{};
    ASSERT_TRUE(win::GetFileStatus("C:\\Specs\\Roof.RTF", nullptr, &later));
    EXPECT_NE(later.dwLowDateTime, written.dwLowDateTime);

    size = 77;
    EXPECT_FALSE(win::GetFileStatus("C:\\Specs\\Gone.rtf", &size, nullptr));
    EXPECT_EQ(size, 77u) << "outputs stay untouched when nothing is found";
}

} // namespace
