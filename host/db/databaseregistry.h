// The process-wide list of databases by serial number.  A serial is never given out twice,
// so an id of a destroyed database can never resolve to a later one.
#pragma once

#include <cstddef>
#include <cstdint>

class AcDbDatabase;

namespace cadhost::db {

std::uint32_t RegisterDatabase(AcDbDatabase* db);
void UnregisterDatabase(std::uint32_t serial);
bool IsKnownSerial(std::uint32_t serial);
// nullptr once the database is destroyed.
AcDbDatabase* DatabaseOfSerial(std::uint32_t serial);

// How many objects of the databases still alive have their code (their class's virtual
// table) in the shared object loaded at codeBase: objects that cannot outlive that code.
std::size_t CountObjectsWithCodeAt(const void* codeBase);

} // namespace cadhost::db
