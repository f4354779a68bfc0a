// Directory searches: FindFirstFileA, FindNextFileA, FindClose.
#include "file_info.h"
#include "handles.h"
#include "posix_errors.h"
#include "wildcard.h"
#include "win/fileapi.h"
#include "win/handles.h"
#include "win/paths.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>

namespace {

struct SearchObject : HandleObject {
    DIR* dir = nullptr; // null for a search of one exact name, already reported
    std::string pattern;
    bool skipDotEntries = false;
    ~SearchObject() override {
        if (dir)
            closedir(dir);
    }

    // The next matching entry, or false at the end.
    bool Next(WIN32_FIND_DATAA& out) {
        if (!dir)
            return false;
        while (dirent* entry = readdir(dir)) {
            std::string_view name = entry->d_name;
            if (skipDotEntries && (name == "." || name == ".."))
                continue;
            if (name.size() >= MAX_PATH || !win::detail::MatchesPattern(pattern, name))
                continue;
            win::detail::FileInfo info;
            if (!win::detail::StatEntry(dirfd(dir), entry->d_name, info))
                continue; // removed since readdir saw it
            win::detail::FillFindData(info, name, out);
            return true;
        }
        return false;
    }
};

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

} // namespace

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (!lpFileName || !lpFindFileData)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string path = lpFileName;
    std::string::size_type split = path.find_last_of("\\/");
    if (split == std::string::npos && path.size() >= 2 && path[1] == ':')
        split = 1; // "C:*.rtf": a pattern relative to the drive
    std::string folder = split == std::string::npos ? "." : path.substr(0, split + 1);
    std::string pattern = split == std::string::npos ? path : path.substr(split + 1);
    if (pattern.empty())
        return Fail(ERROR_FILE_NOT_FOUND);
    if (win::detail::HasWildcards(folder))
        return Fail(ERROR_INVALID_NAME);
    std::string hostFolder = win::ToHostPath(folder);
    if (hostFolder.empty())
        return INVALID_HANDLE_VALUE;

    if (!win::detail::HasWildcards(pattern)) {
        win::detail::FileInfo info;
        std::string hostPath = hostFolder == "/" ? "/" + pattern : hostFolder + "/" + pattern;
        if (pattern.size() >= MAX_PATH)
            return Fail(ERROR_FILE_NOT_FOUND);
        if (!win::detail::StatEntry(AT_FDCWD, hostPath.c_str(), info)) {
            win::detail::SetLastErrorFromErrno(errno, hostPath);
            return INVALID_HANDLE_VALUE;
        }
        win::detail::FillFindData(info, pattern, *lpFindFileData);
        return win::detail::RegisterHandle(new SearchObject);
    }

    DIR* dir = opendir(hostFolder.c_str());
    if (!dir) {
        int err = errno;
        return Fail(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                    : win::detail::ErrorFromErrno(err));
    }
    auto* search = new SearchObject;
    search->dir = dir;
    search->pattern = pattern;
    // A drive's root has no "." and ".." entries on Windows.
    search->skipDotEntries = hostFolder == "/" || hostFolder == win::ToHostPath("C:\\");
    if (!search->Next(*lpFindFileData)) {
        delete search;
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    return win::detail::RegisterHandle(search);
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto* search = win::detail::LookupHandleAs<SearchObject>(hFindFile);
    if (!search)
        return FALSE;
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!search->Next(*lpFindFileData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
    if (!win::detail::LookupHandleAs<SearchObject>(hFindFile))
        return FALSE;
    return CloseHandle(hFindFile);
}

namespace win {

bool GetFileStatus(const std::string& path, DWORD* size32, FILETIME* writeTime) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    if (size32)
        *size32 = data.nFileSizeLow;
    if (writeTime)
        *writeTime = data.ftLastWriteTime;
    return true;
}

} // namespace win
