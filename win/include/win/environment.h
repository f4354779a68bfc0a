// Environment variables with the Win32 calls.  Names are compared without regard to case, as
// on Windows ("ProgramFiles" finds PROGRAMFILES); a name spelled exactly is preferred.
#pragma once

#include "win/types.h"

// The value of a variable.  Returns its length without the terminating zero, or, when the
// buffer is too small, the size needed including it.  A missing variable gives 0 with
// ERROR_ENVVAR_NOT_FOUND; a variable set to "" gives 0 with ERROR_SUCCESS.
DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);

// Sets a variable of this process (and of the programs it starts); a null value removes it.
// A name that is empty or contains "=" is refused with ERROR_INVALID_PARAMETER.
BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue);
