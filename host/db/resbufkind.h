// What kind of value a result buffer of a given type holds.  The type is an RT code or a
// DXF group code; group codes fall in ranges by value type.
#pragma once

#include "arx/adsdefs.h"

namespace cadhost::db {

enum class ValueKind {
    None,    // no value (list brackets, RTNONE, RTVOID, the extended-data sentinel)
    String,  // rstring, malloc'd, owned by the buffer
    Binary,  // rbinary, malloc'd, owned by the buffer
    Point,   // rpoint
    Real,    // rreal
    Short,   // rint
    Long,    // rlong
    Int64,   // mnLongPtr
    Name,    // rlname (entity and selection-set names, object references)
    Unknown, // a type this host does not know
};

ValueKind KindOf(int type);

// A deep copy of one buffer (not its successors); nullptr when out of memory.
resbuf* CopyResbuf(const resbuf& source);
// A deep copy of a chain.
resbuf* CopyChain(const resbuf* chain);

} // namespace cadhost::db
