// Closing handles of files, processes and searches.
#pragma once

#include "win/types.h"

// Releases the object behind a handle.  FALSE with ERROR_INVALID_HANDLE for a handle that is
// not live (never made, or already closed).
BOOL CloseHandle(HANDLE handle);
