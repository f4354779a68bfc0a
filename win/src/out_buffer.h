// The Win32 way of handing a string to a caller's buffer.
#pragma once

#include "win/types.h"

#include <cstring>
#include <string>

namespace win::detail {

// Copies text and its terminating zero when the buffer holds both and returns the length
// without the zero; otherwise leaves the buffer alone and returns the size needed, zero
// included.  Callers tell the two cases apart by comparing the result with their buffer size.
inline DWORD CopyToCallerBuffer(const std::string& text, DWORD bufferSize, LPSTR buffer) {
    if (buffer == nullptr || bufferSize < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

} // namespace win::detail
