// Reads a whole file of the host's file system into memory.
#pragma once

#include <string>

namespace cadhost::editor {

// The bytes of the file at hostPath (a Unix path) in bytes; false when it cannot be opened or
// read, or names a folder.  why, when given, then says why in a few words.
bool ReadWholeFile(const std::string& hostPath, std::string& bytes, std::string* why = nullptr);

} // namespace cadhost::editor
