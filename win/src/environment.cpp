#include "win/environment.h"

#include "out_buffer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

extern char** environ;

namespace {

// setenv and getenv are not safe against each other; every use here goes through this lock.
std::mutex g_environmentMutex;

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The spelling under which name is stored: the exact one when present, else the first entry
// equal to it without regard to case.
std::optional<std::string> StoredName(const char* name) {
    if (std::getenv(name))
        return std::string(name);
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text = *entry;
        std::string_view::size_type equals = text.find('=');
        if (equals != std::string_view::npos && SameName(text.substr(0, equals), name))
            return std::string(text.substr(0, equals));
    }
    return std::nullopt;
}

bool ValidName(LPCSTR name) {
    return name && *name && !std::strchr(name, '=');
}

} // namespace

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
    if (!ValidName(lpName)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::lock_guard lock(g_environmentMutex);
    std::optional<std::string> stored = StoredName(lpName);
    if (!stored) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::string value = std::getenv(stored->c_str());
    SetLastError(ERROR_SUCCESS);
    if (value.empty() && lpBuffer && nSize > 0) {
        lpBuffer[0] = '\0';
        return 0;
    }
    return win::detail::CopyToCallerBuffer(value, nSize, lpBuffer);
}

BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
    if (!ValidName(lpName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(g_environmentMutex);
    std::string name = StoredName(lpName).value_or(lpName);
    int result = lpValue ? setenv(name.c_str(), lpValue, 1) : unsetenv(name.c_str());
    if (result != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}
