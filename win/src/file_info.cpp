#include "file_info.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace win {

FILETIME FileTimeFromUnix(long long seconds, long nanoseconds) {
    constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
    unsigned long long ticks =
        static_cast<unsigned long long>(seconds + kSecondsFrom1601To1970) * 10000000ULL +
        static_cast<unsigned long long>(nanoseconds / 100);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

} // namespace win

namespace win::detail {

namespace {

FILETIME FromStatx(const struct statx_timestamp& t) {
    return win::FileTimeFromUnix(t.tv_sec, static_cast<long>(t.tv_nsec));
}

} // namespace

bool StatEntry(int dirFd, const char* name, FileInfo& out) {
    struct statx st {};
    unsigned wanted = STATX_BASIC_STATS | STATX_BTIME;
    if (statx(dirFd, name, AT_STATX_SYNC_AS_STAT, wanted, &st) != 0 &&
        statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, wanted, &st) != 0)
        return false;
    out.mode = st.stx_mode;
    out.size = st.stx_size;
    out.lastAccess = FromStatx(st.stx_atime);
    out.lastWrite = FromStatx(st.stx_mtime);
    out.creation = (st.stx_mask & STATX_BTIME) ? FromStatx(st.stx_btime) : out.lastWrite;
    return true;
}

bool IsReadOnlyFile(unsigned mode) {
    return S_ISREG(mode) && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

DWORD AttributesOf(const FileInfo& info, std::string_view name) {
    DWORD attributes = 0;
    if (S_ISDIR(info.mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (S_ISREG(info.mode))
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    else
        attributes |= FILE_ATTRIBUTE_SYSTEM;
    if (IsReadOnlyFile(info.mode))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

std::string_view BaseName(std::string_view hostPath) {
    std::string_view::size_type slash = hostPath.find_last_of('/');
    return slash == std::string_view::npos ? hostPath : hostPath.substr(slash + 1);
}

void FillFindData(const FileInfo& info, std::string_view name, WIN32_FIND_DATAA& out) {
    std::memset(&out, 0, sizeof out);
    out.dwFileAttributes = AttributesOf(info, name);
    out.ftCreationTime = info.creation;
    out.ftLastAccessTime = info.lastAccess;
    out.ftLastWriteTime = info.lastWrite;
    if (!S_ISDIR(info.mode)) {
        out.nFileSizeHigh = static_cast<DWORD>(info.size >> 32);
        out.nFileSizeLow = static_cast<DWORD>(info.size & 0xFFFFFFFFu);
    }
    std::size_t length = std::min<std::size_t>(name.size(), MAX_PATH - 1);
    std::memcpy(out.cFileName, name.data(), length);
}

} // namespace win::detail
