// Opening, reading, writing and sizing files; deleting, renaming and attributes.
#include "win/fileapi.h"

#include "file_info.h"
#include "file_object.h"
#include "posix_errors.h"
#include "share_table.h"
#include "win/paths.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using win::detail::FileObject;

namespace win::detail {

FileObject::~FileObject() {
    if (shareToken)
        RemoveOpenFile(shareToken);
    if (fd >= 0)
        close(fd);
}

} // namespace win::detail

namespace {

bool WantsRead(DWORD access) {
    return access & (GENERIC_READ | GENERIC_ALL);
}
bool WantsWrite(DWORD access) {
    return access & (GENERIC_WRITE | GENERIC_ALL);
}

int OpenFlagsFor(DWORD access) {
    int flags = O_CLOEXEC | O_NONBLOCK; // non-blocking so that opening a fifo cannot hang
    if (WantsRead(access) && WantsWrite(access))
        return flags | O_RDWR;
    if (WantsWrite(access))
        return flags | O_WRONLY;
    if (WantsRead(access))
        return flags | O_RDONLY;
    return flags | O_PATH; // attributes only: no data access, so no read permission needed
}

// Opens per disposition; existed tells whether the file was there before.
int OpenForDisposition(const std::string& host, int flags, DWORD disposition, mode_t mode,
                       bool& existed) {
    existed = true;
    if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)
        return open(host.c_str(), flags);
    // Try to create first, so that "did it exist" is answered by the same system call that
    // makes the file, with no window for another process in between.
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = open(host.c_str(), (flags & ~O_PATH) | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST || disposition == CREATE_NEW) {
            existed = fd < 0 && errno == EEXIST;
            return fd;
        }
        fd = open(host.c_str(), flags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
    }
    return -1;
}

FileObject* LookupFile(HANDLE handle) {
    return win::detail::LookupHandleAs<FileObject>(handle);
}

BOOL FailWith(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::string HostPathOf(LPCSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    return win::ToHostPath(name);
}

bool KeyOf(const std::string& host, win::detail::FileKey& key, struct stat& st) {
    if (lstat(host.c_str(), &st) != 0)
        return false;
    key = {st.st_dev, st.st_ino};
    return true;
}

// Copies a regular file to target (through a temporary name beside it, so the target is
// never seen half written) for a move between file systems.
bool CopyFileForMove(const std::string& source, const std::string& target, bool replace) {
    int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st {};
    fstat(in, &st);
    std::string temporary = target + ".moving-" + std::to_string(getpid());
    int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    bool ok = out >= 0;
    char buffer[65536];
    while (ok) {
        ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR)
                ok = false;
            else if (put > 0)
                done += put;
        }
    }
    int savedErrno = errno;
    close(in);
    if (out >= 0) {
        ok = ok && fsync(out) == 0;
        savedErrno = ok ? savedErrno : errno;
        ok = close(out) == 0 && ok;
    }
    if (ok) {
        ok = (replace ? rename(temporary.c_str(), target.c_str())
                      : renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(),
                                  RENAME_NOREPLACE)) == 0;
        savedErrno = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        errno = savedErrno;
    }
    return ok;
}

} // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                   HANDLE) {
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
        (dwCreationDisposition == TRUNCATE_EXISTING && !WantsWrite(dwDesiredAccess))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string host = HostPathOf(lpFileName);
    if (host.empty())
        return INVALID_HANDLE_VALUE;

    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    auto lock = win::detail::LockShareTable();
    bool existed = false;
    int fd = OpenForDisposition(host, OpenFlagsFor(dwDesiredAccess), dwCreationDisposition, mode,
                                existed);
    if (fd < 0) {
        if (errno == EEXIST)
            SetLastError(ERROR_FILE_EXISTS);
        else
            win::detail::SetLastErrorFromErrno(errno, host);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    fstat(fd, &st);
    DWORD refusal = ERROR_SUCCESS;
    if (S_ISDIR(st.st_mode) ||
        (existed && WantsWrite(dwDesiredAccess) && win::detail::IsReadOnlyFile(st.st_mode)))
        refusal = ERROR_ACCESS_DENIED;
    else if (win::detail::ShareConflict({st.st_dev, st.st_ino}, dwDesiredAccess, dwShareMode))
        refusal = ERROR_SHARING_VIOLATION;
    else if (existed && S_ISREG(st.st_mode) &&
             (dwCreationDisposition == CREATE_ALWAYS ||
              dwCreationDisposition == TRUNCATE_EXISTING) &&
             ftruncate(fd, 0) != 0)
        refusal = win::detail::ErrorFromErrno(errno);
    if (refusal != ERROR_SUCCESS) {
        close(fd);
        SetLastError(refusal);
        return INVALID_HANDLE_VALUE;
    }
    if (!(OpenFlagsFor(dwDesiredAccess) & O_PATH))
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    auto* file = new FileObject;
    file->fd = fd;
    file->access = dwDesiredAccess;
    file->writeThrough = dwFlagsAndAttributes & FILE_FLAG_WRITE_THROUGH;
    file->shareToken =
        win::detail::AddOpenFile({st.st_dev, st.st_ino}, dwDesiredAccess, dwShareMode);
    lock.unlock();
    HANDLE handle = win::detail::RegisterHandle(file);
    bool reportExisting =
        existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    FileObject* file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead))
        return FailWith(ERROR_INVALID_PARAMETER);
    if (!WantsRead(file->access))
        return FailWith(ERROR_ACCESS_DENIED);
    auto* bytes = static_cast<char*>(lpBuffer);
    DWORD total = 0;
    while (total < nNumberOfBytesToRead) {
        ssize_t got = read(file->fd, bytes + total, nNumberOfBytesToRead - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (lpNumberOfBytesRead)
                *lpNumberOfBytesRead = total;
            return FailWith(errno == EIO ? ERROR_READ_FAULT : win::detail::ErrorFromErrno(errno));
        }
        if (got == 0)
            break;
        total += static_cast<DWORD>(got);
    }
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    FileObject* file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite))
        return FailWith(ERROR_INVALID_PARAMETER);
    if (!WantsWrite(file->access))
        return FailWith(ERROR_ACCESS_DENIED);
    const auto* bytes = static_cast<const char*>(lpBuffer);
    DWORD total = 0;
    DWORD error = ERROR_SUCCESS;
    while (total < nNumberOfBytesToWrite) {
        ssize_t put = write(file->fd, bytes + total, nNumberOfBytesToWrite - total);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            error = put < 0 && errno == EIO ? ERROR_WRITE_FAULT
                                            : win::detail::ErrorFromErrno(put < 0 ? errno : ENOSPC);
            break;
        }
        total += static_cast<DWORD>(put);
    }
    if (error == ERROR_SUCCESS && file->writeThrough && fdatasync(file->fd) != 0)
        error = errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = total;
    return error == ERROR_SUCCESS ? TRUE : FailWith(error);
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    FileObject* file = LookupFile(hFile);
    struct stat st {};
    if (!file || fstat(file->fd, &st) != 0) {
        if (file)
            SetLastError(win::detail::ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh,
                     DWORD dwMoveMethod) {
    FileObject* file = LookupFile(hFile);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    long long distance =
        lpDistanceToMoveHigh
            ? static_cast<long long>(
                  (static_cast<unsigned long long>(static_cast<DWORD>(*lpDistanceToMoveHigh))
                   << 32) |
                  static_cast<DWORD>(lDistanceToMove))
            : lDistanceToMove;
    long long base = 0;
    if (dwMoveMethod == FILE_CURRENT) {
        base = lseek(file->fd, 0, SEEK_CUR);
    } else if (dwMoveMethod == FILE_END) {
        struct stat st {};
        base = fstat(file->fd, &st) == 0 ? st.st_size : -1;
    } else if (dwMoveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(win::detail::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    long long target = base + distance;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->fd, target, SEEK_SET) < 0) {
        SetLastError(win::detail::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<unsigned long long>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(static_cast<unsigned long long>(target) & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE hFile) {
    FileObject* file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (!WantsWrite(file->access))
        return FailWith(ERROR_ACCESS_DENIED);
    off_t position = lseek(file->fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->fd, position) != 0)
        return FailWith(win::detail::ErrorFromErrno(errno));
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile) {
    FileObject* file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (!WantsWrite(file->access))
        return FailWith(ERROR_ACCESS_DENIED);
    if (fsync(file->fd) != 0)
        return FailWith(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName) {
    std::string host = HostPathOf(lpFileName);
    if (host.empty())
        return FALSE;
    auto lock = win::detail::LockShareTable();
    win::detail::FileKey key{};
    struct stat st {};
    if (!KeyOf(host, key, st)) {
        win::detail::SetLastErrorFromErrno(errno, host);
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || win::detail::IsReadOnlyFile(st.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);
    if (win::detail::ShareConflict(key, DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailWith(ERROR_SHARING_VIOLATION);
    if (unlink(host.c_str()) != 0) {
        win::detail::SetLastErrorFromErrno(errno, host);
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
    std::string source = HostPathOf(lpExistingFileName);
    if (source.empty())
        return FALSE;
    std::string target = HostPathOf(lpNewFileName);
    if (target.empty())
        return FALSE;
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const bool replace = dwFlags & MOVEFILE_REPLACE_EXISTING;

    auto lock = win::detail::LockShareTable();
    win::detail::FileKey sourceKey{}, targetKey{};
    struct stat sourceStat {
    }, targetStat{};
    if (!KeyOf(source, sourceKey, sourceStat)) {
        win::detail::SetLastErrorFromErrno(errno, source);
        return FALSE;
    }
    if (win::detail::ShareConflict(sourceKey, DELETE, shareAll))
        return FailWith(ERROR_SHARING_VIOLATION);
    bool targetExists = KeyOf(target, targetKey, targetStat);
    if (targetExists &&
        (sourceKey.device != targetKey.device || sourceKey.inode != targetKey.inode)) {
        if (!replace)
            return FailWith(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(targetStat.st_mode) || win::detail::IsReadOnlyFile(targetStat.st_mode))
            return FailWith(ERROR_ACCESS_DENIED);
        if (win::detail::ShareConflict(targetKey, DELETE, shareAll))
            return FailWith(ERROR_SHARING_VIOLATION);
    }
    int result =
        replace ? rename(source.c_str(), target.c_str())
                : renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0 && !replace && errno == EINVAL) {
        // File systems without RENAME_NOREPLACE: the check above has to do.
        result = rename(source.c_str(), target.c_str());
    }
    if (result != 0 && errno == EXDEV) {
        if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(sourceStat.st_mode))
            return FailWith(ERROR_NOT_SAME_DEVICE);
        if (!CopyFileForMove(source, target, replace) || unlink(source.c_str()) != 0)
            result = -1;
        else
            result = 0;
    }
    if (result != 0) {
        if (errno == EEXIST || errno == ENOTEMPTY)
            return FailWith(ERROR_ALREADY_EXISTS);
        win::detail::SetLastErrorFromErrno(errno, target);
        return FALSE;
    }
    if (dwFlags & MOVEFILE_WRITE_THROUGH) {
        std::string folder = target.substr(0, target.find_last_of('/'));
        int dirFd = open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            fsync(dirFd);
            close(dirFd);
        }
    }
    return TRUE;
}

BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
    return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
    std::string host = HostPathOf(lpFileName);
    if (host.empty())
        return INVALID_FILE_ATTRIBUTES;
    win::detail::FileInfo info;
    if (!win::detail::StatEntry(AT_FDCWD, host.c_str(), info)) {
        win::detail::SetLastErrorFromErrno(errno, host);
        return INVALID_FILE_ATTRIBUTES;
    }
    return win::detail::AttributesOf(info, win::detail::BaseName(host));
}
