// The object behind a file HANDLE.
#pragma once

#include "handles.h"

#include <cstdint>

namespace win::detail {

struct FileObject : HandleObject {
    int fd = -1;
    DWORD access = 0;
    bool writeThrough = false;
    std::uint64_t shareToken = 0;
    ~FileObject() override;
};

} // namespace win::detail
