#include "win/paths.h"

#include "out_buffer.h"
#include "posix_errors.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A path after resolution: a drive letter and the components below its root.
struct ResolvedPath {
    char drive = 'Z';
    std::vector<std::string> parts;
};

// Adds the components of text to parts, applying "." and ".." lexically; ".." at the root
// stays at the root, as Windows does.
void AppendComponents(std::vector<std::string>& parts, std::string_view text, bool unixOnly) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i;
        while (end < text.size() && !(unixOnly ? text[end] == '/' : IsSeparator(text[end])))
            ++end;
        std::string_view part = text.substr(i, end - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        i = end + 1;
    }
}

std::string Join(const std::vector<std::string>& parts, char separator) {
    std::string out;
    for (const std::string& part : parts) {
        out += separator;
        out += part;
    }
    return out;
}

std::string UnixCurrentDirectory() {
    std::vector<char> buffer(512);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Absolute, lexically normalised unix path without a trailing slash ("/" for the root).
std::string NormaliseUnix(const std::string& path) {
    std::vector<std::string> parts;
    if (path.empty() || path[0] != '/')
        AppendComponents(parts, UnixCurrentDirectory(), true);
    AppendComponents(parts, path, true);
    std::string out = Join(parts, '/');
    return out.empty() ? "/" : out;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/tmp";
}

void MakeUnixFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string prefix = slash == std::string::npos ? path : path.substr(0, slash);
        mkdir(prefix.c_str(), 0777);
        if (slash == std::string::npos)
            break;
    }
}

std::string DriveCFolder() {
    std::string prefix = win::PrefixFolder();
    return prefix == "/" ? "/drive_c" : prefix + "/drive_c";
}

// Resolution of a normalised absolute unix path onto a drive.
ResolvedPath ResolveUnix(const std::string& normalised) {
    ResolvedPath out;
    std::string driveC = DriveCFolder();
    if (normalised == driveC || normalised.compare(0, driveC.size() + 1, driveC + "/") == 0) {
        out.drive = 'C';
        AppendComponents(out.parts, std::string_view(normalised).substr(driveC.size()), true);
    } else {
        AppendComponents(out.parts, normalised, true);
    }
    return out;
}

bool ResolveWindows(const std::string& path, ResolvedPath& out) {
    out = ResolvedPath{};
    if (path.empty() || (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])))
        return false; // nothing, or a network path
    std::string_view rest = path;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        out.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        rest.remove_prefix(2);
        if (rest.empty() || !IsSeparator(rest[0])) {
            ResolvedPath cwd = ResolveUnix(NormaliseUnix(UnixCurrentDirectory()));
            if (cwd.drive == out.drive)
                out.parts = cwd.parts;
        }
    } else if (!IsSeparator(path[0])) {
        out = ResolveUnix(NormaliseUnix(UnixCurrentDirectory()));
    }
    AppendComponents(out.parts, rest, false);
    return true;
}

std::string FormatWindows(const ResolvedPath& path) {
    std::string out(1, path.drive);
    out += ':';
    std::string tail = Join(path.parts, '\\');
    return out + (tail.empty() ? "\\" : tail);
}

bool MapResolved(const ResolvedPath& path, std::string& host) {
    if (path.drive == 'C') {
        host = DriveCFolder() + Join(path.parts, '/');
        return true;
    }
    if (path.drive == 'Z') {
        host = path.parts.empty() ? "/" : Join(path.parts, '/');
        return true;
    }
    return false;
}

std::string TempFolderUnix() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string WithTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

} // namespace

namespace win {

std::string PrefixFolder() {
    std::string prefix;
    const char* explicitPrefix = std::getenv("CADHOST_PREFIX");
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (explicitPrefix && *explicitPrefix)
        prefix = explicitPrefix;
    else if (dataHome && dataHome[0] == '/') // relative values are invalid and ignored
        prefix = std::string(dataHome) + "/cadhost";
    else
        prefix = HomeFolder() + "/.local/share/cadhost";
    prefix = NormaliseUnix(prefix);
    MakeUnixFolders(prefix == "/" ? "/drive_c" : prefix + "/drive_c");
    return prefix;
}

std::string ToHostPath(const std::string& winPath) {
    ResolvedPath resolved;
    std::string host;
    if (!ResolveWindows(winPath, resolved) || !MapResolved(resolved, host)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    return host;
}

std::string ToWindowsPath(const std::string& unixPath) {
    return FormatWindows(ResolveUnix(NormaliseUnix(unixPath)));
}

bool CreateDirectories(const std::string& winPath) {
    std::string host = ToHostPath(winPath);
    if (host.empty())
        return false;
    MakeUnixFolders(host);
    struct stat st {};
    if (stat(host.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    // Say why: retry the deepest missing step to get its errno.
    int err = errno;
    if (mkdir(host.c_str(), 0777) != 0)
        err = errno;
    detail::SetLastErrorFromErrno(err == ENOENT ? ENOTDIR : err, host);
    return false;
}

} // namespace win

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    std::string folder = WithTrailingBackslash(win::ToWindowsPath(TempFolderUnix()));
    return win::detail::CopyToCallerBuffer(folder, nBufferLength, lpBuffer);
}

char* _tempnam(const char* dir, const char* prefix) {
    static std::atomic<unsigned long> counter{0};
    std::string folder;
    if (dir && *dir) {
        std::string host = win::ToHostPath(dir);
        struct stat st {};
        ResolvedPath resolved;
        if (!host.empty() && stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            ResolveWindows(dir, resolved))
            folder = FormatWindows(resolved);
    }
    if (folder.empty())
        folder = win::ToWindowsPath(TempFolderUnix());
    folder =
        WithTrailingBackslash(folder) + (prefix ? prefix : "") + std::to_string(getpid()) + "-";

    // A bound on the attempts keeps a folder full of our names from hanging the caller.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        std::string name = folder + std::to_string(++counter);
        struct stat st {};
        if (lstat(win::ToHostPath(name).c_str(), &st) != 0 && errno == ENOENT) {
            char* out = static_cast<char*>(std::malloc(name.size() + 1));
            if (!out) {
                errno = ENOMEM;
                return nullptr;
            }
            std::memcpy(out, name.c_str(), name.size() + 1);
            return out;
        }
    }
    errno = EEXIST;
    return nullptr;
}

DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
    ResolvedPath resolved;
    if (!lpFileName || !ResolveWindows(lpFileName, resolved)) {
        SetLastError(lpFileName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string full = FormatWindows(resolved);
    std::string_view given = lpFileName;
    bool endsWithSeparator = IsSeparator(given.back()) && !resolved.parts.empty();
    if (endsWithSeparator)
        full += '\\';
    DWORD result = win::detail::CopyToCallerBuffer(full, nBufferLength, lpBuffer);
    if (lpFilePart && result < nBufferLength) {
        *lpFilePart = nullptr;
        if (!endsWithSeparator && !resolved.parts.empty())
            *lpFilePart = lpBuffer + full.rfind('\\') + 1;
    }
    return result;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
    return win::detail::CopyToCallerBuffer(win::ToWindowsPath(UnixCurrentDirectory()),
                                           nBufferLength, lpBuffer);
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
    std::string host = lpPathName ? win::ToHostPath(lpPathName) : std::string();
    if (host.empty())
        return FALSE;
    if (chdir(host.c_str()) != 0) {
        win::detail::SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno, host);
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    std::string host = lpPathName ? win::ToHostPath(lpPathName) : std::string();
    if (host.empty())
        return FALSE;
    if (mkdir(host.c_str(), 0777) != 0) {
        if (errno == EEXIST)
            SetLastError(ERROR_ALREADY_EXISTS);
        else
            win::detail::SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno, host);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName) {
    std::string host = lpPathName ? win::ToHostPath(lpPathName) : std::string();
    if (host.empty())
        return FALSE;
    if (rmdir(host.c_str()) != 0) {
        int err = errno;
        if (err == ENOTEMPTY || err == EEXIST)
            SetLastError(ERROR_DIR_NOT_EMPTY);
        else if (err == ENOTDIR && access(host.c_str(), F_OK) == 0)
            SetLastError(ERROR_DIRECTORY);
        else
            win::detail::SetLastErrorFromErrno(err, host);
        return FALSE;
    }
    return TRUE;
}
