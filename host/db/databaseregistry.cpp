// The registry of databases.  The host runs on one thread, so it needs no lock.
#include "db/databaseregistry.h"

#include "arx/rxobject.h"

#include <vector>

namespace cadhost::db {

namespace {

// Slot serial - 1; a destroyed database leaves a null slot behind (8 bytes per drawing ever
// opened, which is the price of ids that never dangle).
std::vector<AcDbDatabase*>& Databases() {
    static std::vector<AcDbDatabase*>* databases = new std::vector<AcDbDatabase*>;
    return *databases;
}

} // namespace

std::uint32_t RegisterDatabase(AcDbDatabase* db) {
    auto& all = Databases();
    if (all.size() >= 0xffffffffu)
        acrx_abort("too many drawings opened in one session");
    all.push_back(db);
    return static_cast<std::uint32_t>(all.size());
}

void UnregisterDatabase(std::uint32_t serial) {
    if (IsKnownSerial(serial))
        Databases()[serial - 1] = nullptr;
}

bool IsKnownSerial(std::uint32_t serial) {
    return serial >= 1 && serial <= Databases().size();
}

AcDbDatabase* DatabaseOfSerial(std::uint32_t serial) {
    return IsKnownSerial(serial) ? Databases()[serial - 1] : nullptr;
}

} // namespace cadhost::db
