#include "temp_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace rivlet_test {

namespace {

namespace fs = std::filesystem;

// Taken when the program starts: tests point TMPDIR into their own folders, which are gone
// by the time the next test wants a folder.
fs::path StartingTempFolder() {
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    return error ? fs::path("/tmp") : folder;
}

const fs::path kBase = StartingTempFolder();

} // namespace

TempFolder::TempFolder(const std::string& stem) {
    std::string pattern = (kBase / (stem + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder " + pattern + ": " + std::strerror(errno));
    m_path = pattern;
}

TempFolder::~TempFolder() {
    // A test may have taken the owner's rights away to see a failure.
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

} // namespace rivlet_test
