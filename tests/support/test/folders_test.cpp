// Fresh folders: made anew under the temporary folder the program started with, gone with
// all they hold, and the environment that names them given back.
#include "prefix_folders.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Sets (or with null removes) an environment variable, and gives its value back at the end.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        Set(value);
    }
    ~ScopedVariable() { Set(m_old ? m_old->c_str() : nullptr); }

private:
    void Set(const char* value) {
        if (value)
            ::setenv(m_name.c_str(), value, 1);
        else
            ::unsetenv(m_name.c_str());
    }
    std::string m_name;
    std::optional<std::string> m_old;
};

TEST(TempFolder, IsNewEachTimeEvenWhenTmpdirNamesAFolderThatIsGone) {
    ScopedVariable gone("TMPDIR", "/nonexistent/folder/of/an/earlier/test");
    rivlet_test::TempFolder one("stem"), two("stem");
    EXPECT_TRUE(fs::is_directory(one.path())) << one.path();
    EXPECT_TRUE(fs::is_directory(two.path())) << two.path();
    EXPECT_NE(one.path(), two.path());
    EXPECT_EQ(fs::path(one.path()).filename().string().rfind("stem-", 0), 0u) << one.path();
    EXPECT_EQ(one / "a.txt", one.path() + "/a.txt");
}

TEST(TempFolder, GoesWithWhatItHoldsEvenWithoutTheOwnersRights) {
    std::string path;
    {
        rivlet_test::TempFolder folder;
        path = folder.path();
        fs::create_directories(folder / "sub");
        std::ofstream(folder / "sub/file.txt") << "text";
        // Root keeps its rights whatever the folder says; others lose them here.
        fs::permissions(path, fs::perms::owner_write | fs::perms::owner_exec,
                        fs::perm_options::remove);
    }
    EXPECT_FALSE(fs::exists(path)) << path;
}

TEST(PrefixFolders, NameThePrefixAndTheTemporaryFolderUntilTheyGo) {
    ScopedVariable prefix("CADHOST_PREFIX", "/earlier/prefix");
    ScopedVariable tmp("TMPDIR", nullptr);
    std::string root;
    {
        rivlet_test::PrefixFolders folders("prefix-test");
        root = folders.Root();
        EXPECT_EQ(folders.Prefix(), root + "/prefix");
        EXPECT_EQ(folders.Tmp(), root + "/tmp");
        EXPECT_EQ(folders.DriveC(), root + "/prefix/drive_c");
        EXPECT_STREQ(std::getenv("CADHOST_PREFIX"), folders.Prefix().c_str());
        EXPECT_STREQ(std::getenv("TMPDIR"), folders.Tmp().c_str());
        EXPECT_TRUE(fs::is_directory(folders.Tmp()));
    }
    EXPECT_STREQ(std::getenv("CADHOST_PREFIX"), "/earlier/prefix");
    EXPECT_EQ(std::getenv("TMPDIR"), nullptr) << "a variable that was not set is removed again";
    EXPECT_FALSE(fs::exists(root)) << root;
}

} // namespace
