// A whole file's bytes, read and written in one call.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace rivlet_test {

// The bytes of the file, or "" when it cannot be read.
inline std::string ReadBytes(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Replaces the file's bytes (creating it).
inline void WriteBytes(const std::string& unixPath, const std::string& bytes) {
    std::ofstream out(unixPath, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace rivlet_test
