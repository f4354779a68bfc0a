// Fresh folders for one test (prefix with registry hives and drive C:, temporary folder), and a
// recorder of the message boxes shown meanwhile.
#pragma once

#include "file_bytes.h"
#include "prefix_folders.h"
#include "test_front_end.h"

#include "win/msgbox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using FreshFolders = rivlet_test::PrefixFolders;

// Answers every message box with its default button and keeps the requests in order.
class MessageBoxRecorder {
public:
    std::vector<win::MessageBoxRequest>& boxes = m_frontEnd.boxes;

private:
    TestFrontEnd m_frontEnd;
};

inline std::string FileBytes(const std::string& unixPath) {
    return rivlet_test::ReadBytes(unixPath);
}
using rivlet_test::WriteBytes;
