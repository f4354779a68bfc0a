// The handle table behind HANDLE values: files, processes and directory searches are objects
// derived from HandleObject; a HANDLE is valid from its creation until CloseHandle.
#pragma once

#include "win/types.h"

struct HandleObject {
    virtual ~HandleObject();
};

namespace win::detail {

// Registers a newly created object and returns it as a HANDLE.
HANDLE RegisterHandle(HandleObject* object);

// The object behind a handle when it is live and of type T, else nullptr (and the last error
// is set to ERROR_INVALID_HANDLE).
HandleObject* LookupHandle(HANDLE handle);
template <class T> T* LookupHandleAs(HANDLE handle) {
    T* typed = dynamic_cast<T*>(LookupHandle(handle));
    if (!typed)
        SetLastError(ERROR_INVALID_HANDLE);
    return typed;
}

} // namespace win::detail
