#include "type_library.h"

#include "registry_failure.h"

#include "win/registry.h"

#include <cstdio>
#include <utility>

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

LSTATUS SetDefault(const std::string& keyPath, const std::string& text) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return status;
}

// TYPE_E_REGISTRYACCESS for a registry call that failed with status, saying what failed.
HRESULT Refused(const std::string& what, LSTATUS status, std::string* error) {
    if (error)
        *error = RegistryFailure(what, status);
    return TYPE_E_REGISTRYACCESS;
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
                            const std::string& helpFolder, std::string* error) {
    const std::string version = LibraryKey(library) + "\\" + VersionName(library);
    std::string helpText(library.helpString.empty() ? library.name : library.helpString);
    const std::pair<std::string, std::string> defaults[] = {
        {version, helpText},
        {version + "\\FLAGS", "0"},
        {version + "\\" + Hex(library.lcid) + "\\win32", file},
        {version + "\\HELPDIR", helpFolder},
    };
    for (const auto& [keyPath, text] : defaults) {
        if (LSTATUS status = SetDefault(keyPath, text); status != ERROR_SUCCESS)
            return Refused("cannot write the type library's key " + keyPath, status, error);
    }
    return S_OK;
}

HRESULT UnregisterTypeLibrary(const TypeLibraryResource& library, std::string* error) {
    HKEY libraryKey = nullptr;
    LSTATUS status = RegOpenKeyExA(HKEY_CLASSES_ROOT, LibraryKey(library).c_str(), 0,
                                   KEY_ALL_ACCESS, &libraryKey);
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (status != ERROR_SUCCESS)
        return Refused("cannot open the type library's key " + LibraryKey(library), status, error);
    status = RegDeleteTreeA(libraryKey, VersionName(library).c_str());
    bool removeLibrary =
        (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) && IsEmpty(libraryKey);
    RegCloseKey(libraryKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return Refused("cannot remove the type library's key " + LibraryKey(library) + "\\" +
                           VersionName(library),
                       status, error);
    if (removeLibrary) {
        status = RegDeleteKeyA(HKEY_CLASSES_ROOT, LibraryKey(library).c_str());
        if (status != ERROR_SUCCESS)
            return Refused("cannot remove the type library's key " + LibraryKey(library), status,
                           error);
    }
    return S_OK;
}

} // namespace scrivel
