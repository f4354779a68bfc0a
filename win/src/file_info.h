// What the file API reports about a unix file: attributes, times and size.
#pragma once

#include "win/fileapi.h"

#include <string>
#include <string_view>

namespace win::detail {

struct FileInfo {
    unsigned mode = 0;
    unsigned long long size = 0;
    FILETIME creation{}, lastAccess{}, lastWrite{};
};

// Status of name relative to the open folder dirFd (AT_FDCWD for a plain path), following a
// symbolic link, or describing the link itself when it dangles.  False with errno set when
// the entry does not exist.
bool StatEntry(int dirFd, const char* name, FileInfo& out);

// The Windows attributes of an entry called name (its last component) with this status.
DWORD AttributesOf(const FileInfo& info, std::string_view name);

// True for a regular file without any write permission bit: read-only on this platform.
bool IsReadOnlyFile(unsigned mode);

// The last component of a unix path.
std::string_view BaseName(std::string_view hostPath);

void FillFindData(const FileInfo& info, std::string_view name, WIN32_FIND_DATAA& out);

} // namespace win::detail
