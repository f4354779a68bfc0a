// Reads a whole file of the host's file system into memory.
#pragma once

#include <string>

namespace cadhost::editor {

// The bytes of the file at hostPath (a Unix path) in bytes; false when it cannot be opened.
bool ReadWholeFile(const std::string& hostPath, std::string& bytes);

} // namespace cadhost::editor
