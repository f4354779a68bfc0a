// The prefix folder, drive letters and path conversion, temporary names and folders.
//
// Programs of this system see Windows paths.  They are mapped onto the unix file system so:
//
//   C:\a\b     <prefix>/drive_c/a/b      (drive letter in either case)
//   Z:\a\b     /a/b                      (drive Z is the whole unix file system)
//   \a\b       /a/b                      (no drive: the current drive, which is always Z:, so
//                                         that unix absolute paths work unchanged)
//   a\b        <current directory>/a/b
//   C:a\b      relative to the current directory when that lies on C:, else to the root of C:
//
// "\" and "/" are both separators.  Empty and "." components are dropped and ".." removes the
// component before it, but never climbs above the drive's root, so "C:\..\x" stays inside
// drive_c.  Names keep their case; lookups are case-sensitive, as the unix file system is.
// Other drive letters and network paths ("\\server\share") are not found
// (ERROR_PATH_NOT_FOUND).
#pragma once

#include "win/types.h"

#include <string>

namespace win {

// The folder shared by the host and every program of the system: $CADHOST_PREFIX when set and
// not empty, else $XDG_DATA_HOME/cadhost, else $HOME/.local/share/cadhost.  Read from the
// environment on every call (so a test can switch prefixes); the folder and its drive_c/ are
// created when missing.  Unix form, absolute, no trailing slash.
std::string PrefixFolder();

// The unix path of a Windows path, or "" when the path cannot be mapped (the last error is then
// ERROR_PATH_NOT_FOUND).
std::string ToHostPath(const std::string& winPath);

// The Windows form of a unix path: "C:\..." under the prefix's drive_c, else "Z:\...".  A
// relative path is taken from the current directory first.  Unix names that contain "\" cannot
// be told apart from separators once converted.
std::string ToWindowsPath(const std::string& unixPath);

// Creates a folder and any missing parents.  True when the folder exists afterwards (also when
// it was already there); false with the last error set otherwise (ERROR_FILE_EXISTS when a
// file stands in the way).
bool CreateDirectories(const std::string& winPath);

} // namespace win

// The temporary folder: the Windows form of $TMPDIR (or /tmp when unset or empty), ending with
// "\".  Returns the length without the terminating zero, or, when the buffer is too small, the
// size needed including it (and the buffer is left alone).
DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// A unique file name, allocated with malloc (release it with free).  The name has the form
//
//   <full Windows form of dir>\<prefix><pid>-<n>
//
// with <pid> the decimal process id and <n> a decimal counter of the process that starts at 1
// and grows by one with every name tried, so successive calls return different names and a
// name already taken on disk is skipped (the next <n> is used).  No file is created.  When dir
// is null, empty or not an existing folder, the temporary folder of GetTempPathA is used.
// Returns null (errno EEXIST or ENOMEM) when no name can be made.
char* _tempnam(const char* dir, const char* prefix);

// Full Windows form of a path (drive, "\" separators, "." and ".." resolved).  Does not touch
// the file system.  Win32 return convention as GetTempPathA; lpFilePart, when given, receives
// the position of the last component in the buffer (null when the path ends with "\").
DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);

// The process's current directory in Windows form; same return convention.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);

// A new folder (its parent must exist; ERROR_ALREADY_EXISTS when the name is taken).
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
// Removes an empty folder (ERROR_DIR_NOT_EMPTY otherwise, ERROR_DIRECTORY for a file).
BOOL RemoveDirectoryA(LPCSTR lpPathName);
