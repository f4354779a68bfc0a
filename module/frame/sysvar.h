// Setting the host's system variables, with the user told when the host refuses a value.
#pragma once

#include "arx/adsdefs.h"
#include "arx/errorstatus.h"

// Hands the value to the host.  Acad::eOk when it was taken; otherwise the user sees a stop
// message naming the variable, the variable keeps its old value and the result is
// Acad::eInvalidInput.
Acad::ErrorStatus SetSysVar(const char* varName, const resbuf* value);

// SetSysVar with a string value.
Acad::ErrorStatus SetStringSysVar(const char* varName, const char* value);
