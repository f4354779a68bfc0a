// Files and directory searches with the Win32 signatures, on POSIX files.
//
// Paths are Windows paths (see win/paths.h).  Share modes are enforced between the handles of
// this process: every open file is entered in a table by device and inode with its access and
// share flags, and an open that conflicts with one already there fails with
// ERROR_SHARING_VIOLATION.  Other processes do not see that table, so share modes are not
// enforced across processes.
//
// Attributes come from the unix file: FILE_ATTRIBUTE_DIRECTORY for folders, ARCHIVE for
// regular files, SYSTEM for anything else (fifos, sockets, devices), HIDDEN for names that
// begin with ".", and READONLY for a file that has no write permission bit at all (even for
// root, who could write it: such a file is read-only here as on Windows).
#pragma once

#include "win/types.h"

#include <string>

struct OVERLAPPED; // asynchronous I/O is not supported: pass nullptr
using LPOVERLAPPED = OVERLAPPED*;

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD GENERIC_ALL = 0x10000000u;

inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
// Each write reaches the disk before WriteFile returns.
inline constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;

inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
inline constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

// Opens or creates a file.  dwCreationDisposition is one of CREATE_NEW, CREATE_ALWAYS,
// OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING; after CREATE_ALWAYS or OPEN_ALWAYS found an
// existing file the last error is ERROR_ALREADY_EXISTS (success all the same).  A new file
// created with FILE_ATTRIBUTE_READONLY in dwFlagsAndAttributes gets no write permission.
// Folders cannot be opened (ERROR_ACCESS_DENIED); neither can a read-only file for writing.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

// Reads up to nNumberOfBytesToRead bytes; at the end of the file it succeeds with 0 bytes.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
// Writes all bytes or fails; a full disk gives FALSE with ERROR_DISK_FULL, and
// *lpNumberOfBytesWritten tells how many bytes did reach the file.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
// Low 32 bits of the size, the high ones through lpFileSizeHigh when given;
// INVALID_FILE_SIZE with the last error set on failure (check it: the value is also a size).
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
// Moves the file pointer.  Without lpDistanceToMoveHigh the distance is a signed 32-bit value.
// Returns the low 32 bits of the new position; INVALID_SET_FILE_POINTER with the last error set
// on failure (ERROR_NEGATIVE_SEEK before the start).  The last error is ERROR_SUCCESS after
// success.
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh,
                     DWORD dwMoveMethod);
// Cuts or extends the file at the file pointer.
BOOL SetEndOfFile(HANDLE hFile);
// Writes the file's data to the disk (fsync).
BOOL FlushFileBuffers(HANDLE hFile);

// Deletes a file; ERROR_SHARING_VIOLATION while a handle of this process has it open without
// FILE_SHARE_DELETE, ERROR_ACCESS_DENIED for a read-only file or a folder.
BOOL DeleteFileA(LPCSTR lpFileName);
// Renames a file or folder.  An existing target is replaced only with
// MOVEFILE_REPLACE_EXISTING (else ERROR_ALREADY_EXISTS), and never when it is a folder.
// Moving a file to another file system needs MOVEFILE_COPY_ALLOWED.
BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
// The attributes (see the top of this file), or INVALID_FILE_ATTRIBUTES when missing.
DWORD GetFileAttributesA(LPCSTR lpFileName);

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime; // the unix birth time where the file system keeps it, else mtime
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14]; // always empty: unix has no short names
};
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;

// Lists the entries of a folder that match the last component of lpFileName.  "*" (any run of
// characters) and "?" (one character) are matched without regard to case (ASCII letters);
// "*.*" matches every name and a pattern ending in "." also matches names without a dot.  A
// last component without wildcards is looked up exactly, as opening it would.  Entries come in
// the order the file system lists them; "." and ".." are among them when the pattern matches
// them (except in a drive's root, as on Windows).  A missing folder gives INVALID_HANDLE_VALUE
// with ERROR_PATH_NOT_FOUND, no match ERROR_FILE_NOT_FOUND, wildcards in a folder name
// ERROR_INVALID_NAME.  Names longer than MAX_PATH - 1 bytes are skipped.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
// The next match; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

namespace win {

// Whether a file (or folder) exists, found by a directory search for exactly this path; when
// it does, its size (low 32 bits) and last write time go to the outputs that are not null.
bool GetFileStatus(const std::string& path, DWORD* size32, FILETIME* writeTime);

// FILETIME (100-nanosecond ticks since 1601-01-01 UTC) of a unix time.
FILETIME FileTimeFromUnix(long long seconds, long nanoseconds);

} // namespace win
