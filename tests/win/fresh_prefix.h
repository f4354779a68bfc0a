// A fixture that gives each test its own prefix folder and temporary folder, so that tests
// never see each other's registry hives or files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace wintest {

inline std::string ReadBytes(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const std::string& unixPath, const std::string& bytes) {
    std::ofstream out(unixPath, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class FreshPrefix : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "winplat-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        prefix = root + "/prefix";
        tmp = root + "/tmp";
        fs::create_directories(tmp);
        SaveAndSet("CADHOST_PREFIX", prefix.c_str());
        SaveAndSet("TMPDIR", tmp.c_str());
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        savedCwd = cwd;
    }

    void TearDown() override {
        if (chdir(savedCwd.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << savedCwd;
        for (auto& [name, value] : saved) {
            if (value.second)
                setenv(name.c_str(), value.first.c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root, ignored);
    }

    // Sets (or with null removes) an environment variable until the test ends.
    void SaveAndSet(const std::string& name, const char* value) {
        if (!saved.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved[name] = {old ? old : "", old != nullptr};
        }
        if (value)
            setenv(name.c_str(), value, 1);
        else
            unsetenv(name.c_str());
    }

    std::string DriveC() const { return prefix + "/drive_c"; }

    std::string root, prefix, tmp, savedCwd;
    std::map<std::string, std::pair<std::string, bool>> saved;
};

} // namespace wintest
