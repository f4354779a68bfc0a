// The Win32 registry calls over the hive stores.
//
// A key handle names its key by path, not by pointer: the parsed hive is replaced whenever
// another process changes the file, and a path stays meaningful across that.
#include "win/registry.h"

#include "hive_store.h"
#include "win/paths.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

using win::detail::HiveStore;
using win::detail::RegKey;
using win::detail::RegValue;
using Path = std::vector<std::string>;

// One lock for the whole registry of the process: the handle set and every hive store.
std::mutex g_registryMutex;

struct KeyHandle {
    HiveStore* hive;
    Path path; // below the hive's root
    REGSAM access;
    bool predefined; // a root (or the classes view), which exists even when not in the file
};

std::unordered_set<KeyHandle*>& OpenKeys() {
    static auto* keys = new std::unordered_set<KeyHandle*>; // lives for the whole process
    return *keys;
}

// The key a handle stands for, with the hive chosen from the prefix as it is now.
bool Resolve(HKEY hKey, KeyHandle& out) {
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CLASSES_ROOT) {
        bool user = hKey == HKEY_CURRENT_USER;
        std::string file = win::PrefixFolder() + (user ? "/user.reg" : "/system.reg");
        out.hive = &win::detail::HiveAt(file, user ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
        out.path = hKey == HKEY_CLASSES_ROOT ? Path{"Software", "Classes"} : Path{};
        out.access = KEY_ALL_ACCESS;
        out.predefined = true;
        return true;
    }
    auto* handle = reinterpret_cast<KeyHandle*>(hKey);
    if (!handle || !OpenKeys().count(handle))
        return false;
    out = *handle;
    return true;
}

// Splits a subkey path; null and "" give no components, one trailing "\" is allowed.
LONG SplitSubKey(LPCSTR subKey, Path& out) {
    out.clear();
    if (!subKey || !*subKey)
        return ERROR_SUCCESS;
    std::string_view text = subKey;
    if (text.back() == '\\')
        text.remove_suffix(1);
    for (std::size_t start = 0;;) {
        std::size_t slash = text.find('\\', start);
        std::string_view name = text.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (name.empty())
            return ERROR_BAD_PATHNAME;
        if (!win::detail::IsValidKeyName(name))
            return ERROR_INVALID_PARAMETER;
        out.emplace_back(name);
        if (slash == std::string_view::npos)
            return ERROR_SUCCESS;
        start = slash + 1;
    }
}

Path Concat(const Path& a, const Path& b) {
    Path out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

// The key of a handle in the freshly refreshed hive.  A predefined key that is not in the
// file reads as an empty key (empty is returned for it); a key deleted since the handle was
// opened gives ERROR_KEY_DELETED.
LONG KeyOf(const KeyHandle& handle, const RegKey*& key) {
    static const RegKey empty;
    LONG state = handle.hive->Refresh();
    if (state != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND; // an unusable hive: its keys are unavailable
    key = win::detail::FindKey(handle.hive->Current().root, handle.path);
    if (!key && handle.predefined)
        key = &empty;
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// The same inside a change: the key, created when it is a predefined one missing in the file.
LONG KeyForChange(const KeyHandle& handle, win::detail::Hive& hive, RegKey*& key) {
    key = win::detail::FindKey(hive.root, handle.path);
    if (!key && handle.predefined) {
        key = &hive.root;
        for (const std::string& name : handle.path)
            key = &key->AddSubkey(name);
    }
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

HKEY NewHandle(const KeyHandle& from, Path path, REGSAM access) {
    auto* handle = new KeyHandle{from.hive, std::move(path), access, false};
    // A handle to a root itself (opened with an empty subkey) keeps the root's nature.
    handle->predefined = from.predefined && handle->path == from.path;
    OpenKeys().insert(handle);
    return reinterpret_cast<HKEY>(handle);
}

LONG CopyOut(const void* data, std::size_t size, LPBYTE buffer, LPDWORD bufferSize) {
    if (!bufferSize)
        return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    LONG result = ERROR_SUCCESS;
    if (buffer) {
        if (*bufferSize < size)
            result = ERROR_MORE_DATA;
        else if (size)
            std::memcpy(buffer, data, size);
    }
    *bufferSize = static_cast<DWORD>(size);
    return result;
}

// A name into a character buffer: *length is the buffer size on entry, the name's length
// on success.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD length) {
    if (!buffer || !length)
        return ERROR_INVALID_PARAMETER;
    if (*length < name.size() + 1)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::string ValueName(LPCSTR name) {
    return name ? name : "";
}

} // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard lock(g_registryMutex);
    KeyHandle parent;
    if (!Resolve(hKey, parent))
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (LONG error = SplitSubKey(lpSubKey, sub))
        return error;
    const RegKey* key = nullptr;
    if (LONG error = KeyOf(parent, key))
        return error;
    if (!sub.empty() && !win::detail::FindKey(*key, sub))
        return ERROR_FILE_NOT_FOUND;
    *phkResult = NewHandle(parent, Concat(parent.path, sub), samDesired);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                        LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard lock(g_registryMutex);
    KeyHandle parent;
    if (!Resolve(hKey, parent))
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (LONG error = SplitSubKey(lpSubKey, sub))
        return error;

    // Opening an existing key needs no write, and no lock.
    const RegKey* key = nullptr;
    LONG state = parent.hive->Refresh();
    if (state != ERROR_SUCCESS)
        return state;
    if (LONG error = KeyOf(parent, key))
        return error;
    bool created = false;
    if (!sub.empty() && !win::detail::FindKey(*key, sub)) {
        if (!(parent.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        LONG result = parent.hive->Modify([&](win::detail::Hive& hive, bool& changed) {
            bool parentInFile = win::detail::FindKey(hive.root, parent.path) != nullptr;
            RegKey* at = nullptr;
            if (LONG error = KeyForChange(parent, hive, at))
                return error;
            changed = !parentInFile;
            for (const std::string& name : sub) {
                RegKey* next = at->FindSubkey(name);
                if (!next) {
                    next = &at->AddSubkey(name);
                    created = changed = true;
                }
                at = next;
            }
            return ERROR_SUCCESS;
        });
        if (result != ERROR_SUCCESS)
            return result;
    }
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewHandle(parent, Concat(parent.path, sub), samDesired);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const RegKey* key = nullptr;
    if (LONG error = KeyOf(handle, key))
        return error;
    const RegValue* value = key->FindValue(ValueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    return CopyOut(value->data.data(), value->data.size(), lpData, lpcbData);
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
    if (!lpData && cbData)
        return ERROR_INVALID_PARAMETER;
    std::string name = ValueName(lpValueName);
    if (!win::detail::IsValidValueName(name))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    std::vector<BYTE> data(lpData, lpData + cbData);
    return handle.hive->Modify([&](win::detail::Hive& hive, bool& changed) {
        RegKey* key = nullptr;
        if (LONG error = KeyForChange(handle, hive, key))
            return error;
        changed = key->SetValue(name, dwType, data);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    std::string name = ValueName(lpValueName);
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    return handle.hive->Modify([&](win::detail::Hive& hive, bool& changed) {
        RegKey* key = win::detail::FindKey(hive.root, handle.path);
        if (!key)
            return handle.predefined ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        changed = key->RemoveValue(name);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (LONG error = SplitSubKey(lpSubKey, sub))
        return error;
    if (sub.empty())
        return ERROR_INVALID_PARAMETER;
    Path target = Concat(handle.path, sub);
    return handle.hive->Modify([&](win::detail::Hive& hive, bool& changed) {
        RegKey* parent = win::detail::FindKey(hive.root, Path(target.begin(), target.end() - 1));
        RegKey* key = parent ? parent->FindSubkey(target.back()) : nullptr;
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (!key->Subkeys().empty())
            return ERROR_ACCESS_DENIED;
        changed = parent->RemoveSubkey(target.back());
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    const REGSAM needed = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    if ((handle.access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    Path sub;
    if (LONG error = SplitSubKey(lpSubKey, sub))
        return error;
    Path target = Concat(handle.path, sub);
    return handle.hive->Modify([&](win::detail::Hive& hive, bool& changed) {
        if (sub.empty()) {
            RegKey* key = win::detail::FindKey(hive.root, target);
            if (!key)
                return handle.predefined ? ERROR_SUCCESS : ERROR_KEY_DELETED;
            changed = !key->Values().empty() || !key->Subkeys().empty();
            key->Clear();
            return ERROR_SUCCESS;
        }
        RegKey* parent = win::detail::FindKey(hive.root, Path(target.begin(), target.end() - 1));
        if (!parent || !parent->RemoveSubkey(target.back()))
            return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD,
                      LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    const RegKey* key = nullptr;
    if (LONG error = KeyOf(handle, key))
        return error == ERROR_FILE_NOT_FOUND ? ERROR_NO_MORE_ITEMS : error;
    if (dwIndex >= key->Subkeys().size())
        return ERROR_NO_MORE_ITEMS;
    auto entry = std::next(key->Subkeys().begin(), dwIndex);
    if (LONG error = CopyName(entry->second->Name(), lpName, lpcchName))
        return error;
    if (lpClass && lpcchClass && *lpcchClass > 0) {
        lpClass[0] = '\0';
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime)
        *lpftLastWriteTime = handle.hive->FileTime();
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const RegKey* key = nullptr;
    if (LONG error = KeyOf(handle, key))
        return error == ERROR_FILE_NOT_FOUND ? ERROR_NO_MORE_ITEMS : error;
    if (dwIndex >= key->Values().size())
        return ERROR_NO_MORE_ITEMS;
    const RegValue& value = key->Values()[dwIndex];
    if (LONG error = CopyName(value.name, lpValueName, lpcchValueName))
        return error;
    if (lpType)
        *lpType = value.type;
    return CopyOut(value.data.data(), value.data.size(), lpData, lpcbData);
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                         LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    if (!Resolve(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const RegKey* key = nullptr;
    if (LONG error = KeyOf(handle, key))
        return error;
    std::size_t maxSubKey = 0, maxValueName = 0, maxValue = 0;
    for (const auto& [folded, subkey] : key->Subkeys())
        maxSubKey = std::max(maxSubKey, subkey->Name().size());
    for (const RegValue& value : key->Values()) {
        maxValueName = std::max(maxValueName, value.name.size());
        maxValue = std::max(maxValue, value.data.size());
    }
    if (lpClass && lpcchClass && *lpcchClass > 0)
        lpClass[0] = '\0';
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(key->Subkeys().size());
    if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSubKey);
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(key->Values().size());
    if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = static_cast<DWORD>(maxValueName);
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = static_cast<DWORD>(maxValue);
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = handle.hive->FileTime();
    return ERROR_SUCCESS;
}

LSTATUS RegFlushKey(HKEY hKey) {
    std::lock_guard lock(g_registryMutex);
    KeyHandle handle;
    return Resolve(hKey, handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegCloseKey(HKEY hKey) {
    std::lock_guard lock(g_registryMutex);
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    auto* handle = reinterpret_cast<KeyHandle*>(hKey);
    if (!handle || !OpenKeys().erase(handle))
        return ERROR_INVALID_HANDLE;
    delete handle;
    return ERROR_SUCCESS;
}
