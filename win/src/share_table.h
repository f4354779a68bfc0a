// The process's table of open files and their share modes.
//
// Windows refuses an open that conflicts with the access or share flags of a handle already
// open on the same file; POSIX has no such rule, so this layer keeps one table for the whole
// process (the library is shared so that the table exists once).  Files are told apart by
// device and inode, so two names of one file (links, "." components) share their entries.
#pragma once

#include "win/types.h"

#include <cstdint>
#include <mutex>
#include <sys/types.h>

namespace win::detail {

struct FileKey {
    dev_t device;
    ino_t inode;
};

// Held around "check, then open or delete" so that no other thread slips in between.
std::unique_lock<std::mutex> LockShareTable();

// True when an open asking for access with share flags share conflicts with the handles
// already in the table.  Deleting or renaming a file counts as asking for DELETE access
// while sharing everything.  The caller holds the table's lock.
bool ShareConflict(const FileKey& file, DWORD access, DWORD share);

// Enters an open handle; returns the token that removes it again.  The caller holds the lock.
std::uint64_t AddOpenFile(const FileKey& file, DWORD access, DWORD share);
// Takes the lock itself.
void RemoveOpenFile(std::uint64_t token);

} // namespace win::detail
