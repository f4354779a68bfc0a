#include "share_table.h"

#include "win/fileapi.h"

#include <unordered_map>

namespace win::detail {

namespace {

struct OpenEntry {
    FileKey file;
    DWORD access;
    DWORD share;
};

std::mutex g_shareMutex;

std::unordered_map<std::uint64_t, OpenEntry>& OpenFiles() {
    static auto* files = new std::unordered_map<std::uint64_t, OpenEntry>; // process lifetime
    return *files;
}

std::uint64_t g_nextToken = 1;

bool Reads(DWORD access) {
    return access & (GENERIC_READ | GENERIC_ALL);
}
bool Writes(DWORD access) {
    return access & (GENERIC_WRITE | GENERIC_ALL);
}
bool Deletes(DWORD access) {
    return access & (DELETE | GENERIC_ALL);
}

// Whether share allows a handle with access.
bool Permits(DWORD share, DWORD access) {
    return !(Reads(access) && !(share & FILE_SHARE_READ)) &&
           !(Writes(access) && !(share & FILE_SHARE_WRITE)) &&
           !(Deletes(access) && !(share & FILE_SHARE_DELETE));
}

} // namespace

std::unique_lock<std::mutex> LockShareTable() {
    return std::unique_lock(g_shareMutex);
}

bool ShareConflict(const FileKey& file, DWORD access, DWORD share) {
    for (const auto& [token, entry] : OpenFiles()) {
        if (entry.file.device != file.device || entry.file.inode != file.inode)
            continue;
        if (!Permits(entry.share, access) || !Permits(share, entry.access))
            return true;
    }
    return false;
}

std::uint64_t AddOpenFile(const FileKey& file, DWORD access, DWORD share) {
    std::uint64_t token = g_nextToken++;
    OpenFiles().emplace(token, OpenEntry{file, access, share});
    return token;
}

void RemoveOpenFile(std::uint64_t token) {
    std::lock_guard lock(g_shareMutex);
    OpenFiles().erase(token);
}

} // namespace win::detail
