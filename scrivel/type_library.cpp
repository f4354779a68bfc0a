#include "type_library.h"

#include "win/registry.h"

#include <cstdio>

namespace scrivel {
namespace {

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

std::string LibraryKey(const TypeLibraryResource& library) {
    return "TypeLib\\" + std::string(library.libId);
}

std::string VersionName(const TypeLibraryResource& library) {
    return Hex(library.majorVersion) + "." + Hex(library.minorVersion);
}

bool SetDefault(const std::string& keyPath, const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LSTATUS status =
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool IsEmpty(HKEY key) {
    DWORD subKeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys == 0 && values == 0;
}

} // namespace

HRESULT RegisterTypeLibrary(const TypeLibraryResource& library, const std::string& file,
                            const std::string& helpFolder) {
    const std::string version = LibraryKey(library) + "\\" + VersionName(library);
    std::string helpText(library.helpString.empty() ? library.name : library.helpString);
    bool written = SetDefault(version, helpText) && SetDefault(version + "\\FLAGS", "0") &&
                   SetDefault(version + "\\" + Hex(library.lcid) + "\\win32", file) &&
                   SetDefault(version + "\\HELPDIR", helpFolder);
    return written ? S_OK : TYPE_E_REGISTRYACCESS;
}

HRESULT UnregisterTypeLibrary(const TypeLibraryResource& library) {
    HKEY libraryKey = nullptr;
    LSTATUS status = RegOpenKeyExA(HKEY_CLASSES_ROOT, LibraryKey(library).c_str(), 0,
                                   KEY_ALL_ACCESS, &libraryKey);
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (status != ERROR_SUCCESS)
        return TYPE_E_REGISTRYACCESS;
    status = RegDeleteTreeA(libraryKey, VersionName(library).c_str());
    bool removeLibrary =
        (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) && IsEmpty(libraryKey);
    RegCloseKey(libraryKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return TYPE_E_REGISTRYACCESS;
    if (removeLibrary &&
        RegDeleteKeyA(HKEY_CLASSES_ROOT, LibraryKey(library).c_str()) != ERROR_SUCCESS)
        return TYPE_E_REGISTRYACCESS;
    return S_OK;
}

} // namespace scrivel
