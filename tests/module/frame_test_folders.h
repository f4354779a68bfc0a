// Fresh folders for one test (prefix with registry hives and drive C:, temporary folder), and a
// recorder of the message boxes shown meanwhile.
#pragma once

#include "test_front_end.h"

#include "win/msgbox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class FreshFolders {
public:
    FreshFolders() {
        // The folder the tests started with: each test points TMPDIR into its own folders.
        static const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "rivlet-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        std::filesystem::create_directories(Tmp());
        setenv("CADHOST_PREFIX", Prefix().c_str(), 1);
        setenv("TMPDIR", Tmp().c_str(), 1);
    }
    ~FreshFolders() { std::filesystem::remove_all(m_root); }

    std::string Prefix() const { return m_root + "/prefix"; }
    std::string Tmp() const { return m_root + "/tmp"; }
    std::string DriveC() const { return Prefix() + "/drive_c"; }

private:
    std::string m_root;
};

// Answers every message box with its default button and keeps the requests in order.
class MessageBoxRecorder {
public:
    std::vector<win::MessageBoxRequest>& boxes = m_frontEnd.boxes;

private:
    TestFrontEnd m_frontEnd;
};

inline std::string FileBytes(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& unixPath, const std::string& bytes) {
    std::ofstream(unixPath, std::ios::binary) << bytes;
}
