// Translation of POSIX errno values into the system error codes that callers of this layer
// test for.
#pragma once

#include "win/types.h"

#include <string>

namespace win::detail {

// The Win32 code for errno, for a failure while opening or naming a file.
DWORD ErrorFromErrno(int err);

// ERROR_FILE_NOT_FOUND when the folder of hostPath exists, else ERROR_PATH_NOT_FOUND: Windows
// tells a missing file apart from a missing folder, POSIX says ENOENT for both.
DWORD NotFoundError(const std::string& hostPath);

// Sets the last error from errno (with the not-found refinement for hostPath) and returns it.
DWORD SetLastErrorFromErrno(int err, const std::string& hostPath);

} // namespace win::detail
