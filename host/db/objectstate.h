// Messages of the open protocol's fatal errors.
#pragma once

#include "arx/dbobject.h"

namespace cadhost::db {

// "closed", "open for read", "open for write", "open for notify".
const char* OpenStateText(const AcDbObject& object);
// Stops the host: "object of class X is not open for <wanted> (it is <state>; handle H)".
[[noreturn]] void AbortNotOpen(const AcDbObject& object, const char* wanted);

} // namespace cadhost::db
