// A fixture that gives each test its own prefix folder and temporary folder, so that tests
// never see each other's registry hives or files.
#pragma once

#include "file_bytes.h"
#include "prefix_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace wintest {

using rivlet_test::ReadBytes;
using rivlet_test::WriteBytes;

class FreshPrefix : public ::testing::Test {
protected:
    void SetUp() override {
        folders.emplace("winplat-test");
        root = folders->Root();
        prefix = folders->Prefix();
        tmp = folders->Tmp();
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
        folders.reset();
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

    std::optional<rivlet_test::PrefixFolders> folders;
    std::string root, prefix, tmp, savedCwd;
    std::map<std::string, std::pair<std::string, bool>> saved;
};

} // namespace wintest
