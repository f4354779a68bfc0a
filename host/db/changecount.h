// How often a drawing has changed: a count that grows whenever an object of the database that
// was open for write is closed (new objects, changed and erased ones, and what undoing a
// command files back in).  What shows a drawing compares it with the count it last drew to
// know whether to look at the drawing again.
#pragma once

#include <cstdint>

class AcDbDatabase;

namespace cadhost::db {

// 0 for a null database.
std::uint64_t ChangeCountOf(const AcDbDatabase* db);

} // namespace cadhost::db
