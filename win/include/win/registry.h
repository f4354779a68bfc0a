// The registry, with the Win32 calls, kept in REGEDIT4 text files in the prefix folder.
//
// HKEY_CURRENT_USER lives in <prefix>/user.reg, HKEY_LOCAL_MACHINE in <prefix>/system.reg, and
// HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\Software\Classes.  HKEY_USERS is not
// available (ERROR_INVALID_HANDLE).  The files are plain text that people can read and edit:
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\Software\KSR\MTEXT\Preferences]
//     @="default value"
//     "Name"="text with \\ and \" escaped"
//     "Count"=dword:0000002a
//     "Path"=hex(2):25,54,45,4d,50,25,00
//
// Every change is written to a new file beside the hive, flushed to the disk and renamed over
// the hive, so a hive file is always whole; a failed write leaves the old one and the call
// reports ERROR_CANTWRITE (ERROR_DISK_FULL when the disk is full).  Writers of all processes
// take an exclusive lock (a ".lock" file beside the hive) and re-read the hive under it, so
// concurrent writers lose nothing.  A hive file that cannot be parsed is reported once on
// stderr and never overwritten: its keys are not found and writes fail with
// ERROR_REGISTRY_CORRUPT.  A missing hive file is an empty hive.
//
// Key and value names are compared without regard to case (ASCII letters) and keep the
// spelling they were created with.  Key names are 1 to 255 bytes without "\" or control
// characters; value names up to 16383 bytes without control characters.  Subkeys are listed
// in the order of their names, values in the order they were created.  Access rights of a
// handle are checked: querying and listing values needs KEY_QUERY_VALUE, setting and deleting
// values KEY_SET_VALUE, listing subkeys KEY_ENUMERATE_SUB_KEYS, creating a subkey
// KEY_CREATE_SUB_KEY, RegDeleteTreeA DELETE, KEY_ENUMERATE_SUB_KEYS and KEY_QUERY_VALUE.
// RegDeleteKeyA checks no right of the parent handle, as on Windows.  Volatile keys are kept
// like the others.
#pragma once

#include "win/types.h"

#include <cstdint>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;

inline HKEY const HKEY_CLASSES_ROOT =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000000u)));
inline HKEY const HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000001u)));
inline HKEY const HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000002u)));
inline HKEY const HKEY_USERS =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000003u)));

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0x0;
inline constexpr DWORD REG_OPTION_VOLATILE = 0x1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key (lpSubKey null or "" opens hKey again); ERROR_FILE_NOT_FOUND when it
// does not exist.  *phkResult is null after a failure.
LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult);
// Opens a key, creating it and any missing parents; *lpdwDisposition (when given) tells
// REG_CREATED_NEW_KEY from REG_OPENED_EXISTING_KEY.  lpClass and lpSecurityAttributes are
// ignored.
LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                        PHKEY phkResult, LPDWORD lpdwDisposition);
// Reads a value (null or "" names the default value).  With lpData null, *lpcbData receives
// the size; a buffer too small gives ERROR_MORE_DATA with the size needed in *lpcbData.
// Data comes back exactly as stored: REG_SZ data set with its terminating zero has it.
LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);
// Stores cbData bytes as the value; REG_SZ data should include its terminating zero.
LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);
LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes a key with everything below it; with lpSubKey null, empties hKey of its subkeys
// and values but keeps it.
LSTATUS RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);
// The name of the subkey at dwIndex; ERROR_NO_MORE_ITEMS past the last.  *lpcchName is the
// buffer size on entry and the name's length (without the zero) on return; ERROR_MORE_DATA
// when it does not fit.  The class is empty; the last write time is that of the hive file.
LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                      LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
// The name, type and data of the value at dwIndex, with the buffer rules of RegEnumKeyExA
// for the name and of RegQueryValueExA for the data.
LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                      LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// Counts and largest sizes of a key's subkeys and values (any output may be null).
LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                         LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                         LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                         LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
// Every change is already on the disk when its call returns; this only checks the handle.
LSTATUS RegFlushKey(HKEY hKey);
// Releases a key handle.  Predefined keys are never closed (success, nothing happens).
LSTATUS RegCloseKey(HKEY hKey);
