#include "handles.h"

#include "win/handles.h"

#include <mutex>
#include <unordered_set>

HandleObject::~HandleObject() = default;

namespace {

std::mutex g_handleMutex;

std::unordered_set<HandleObject*>& LiveHandles() {
    static auto* live = new std::unordered_set<HandleObject*>; // lives for the whole process
    return *live;
}

thread_local DWORD t_lastError = 0;

} // namespace

DWORD GetLastError() {
    return t_lastError;
}
void SetLastError(DWORD err) {
    t_lastError = err;
}

namespace win::detail {

HANDLE RegisterHandle(HandleObject* object) {
    std::lock_guard lock(g_handleMutex);
    LiveHandles().insert(object);
    return object;
}

HandleObject* LookupHandle(HANDLE handle) {
    std::lock_guard lock(g_handleMutex);
    if (!handle || !LiveHandles().count(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return handle;
}

} // namespace win::detail

BOOL CloseHandle(HANDLE handle) {
    {
        std::lock_guard lock(g_handleMutex);
        if (!handle || !LiveHandles().erase(handle)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    delete handle;
    return TRUE;
}
