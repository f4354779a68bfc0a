// Small helpers for registry tests: set and read string values in one call.
#pragma once

#include "win/registry.h"

#include <string>

namespace wintest {

inline LONG SetString(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

// The stored bytes of a value, or "<error N>".
inline std::string QueryBytes(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (result != ERROR_SUCCESS)
        return "<error " + std::to_string(result) + ">";
    std::string bytes(size, '\0');
    result =
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (result != ERROR_SUCCESS)
        return "<error " + std::to_string(result) + ">";
    bytes.resize(size);
    return bytes;
}

// A REG_SZ value without its terminating zero.
inline std::string QueryString(HKEY key, const char* name) {
    std::string bytes = QueryBytes(key, name);
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

inline HKEY CreateKey(HKEY root, const char* path, DWORD* disposition = nullptr,
                      REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace wintest
