// The registry of databases.  The host runs on one thread, so it needs no lock.
#include "db/databaseregistry.h"

#include "arx/rxobject.h"
#include "db/databaseimpl.h"

#include <dlfcn.h>

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

std::size_t CountObjectsWithCodeAt(const void* codeBase) {
    std::size_t count = 0;
    for (AcDbDatabase* db : Databases()) {
        if (!db)
            continue;
        for (const Stub& stub : db->impl()->stubs) {
            if (!stub.object)
                continue;
            // The first word of a polymorphic object is its virtual table, which lives in
            // the shared object that defines the class.
            Dl_info info{};
            const void* table = *reinterpret_cast<void* const*>(stub.object);
            if (dladdr(table, &info) && info.dli_fbase == codeBase)
                ++count;
        }
    }
    return count;
}

} // namespace cadhost::db
