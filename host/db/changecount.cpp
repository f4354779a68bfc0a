#include "db/changecount.h"

#include "db/databaseimpl.h"

namespace cadhost::db {

std::uint64_t ChangeCountOf(const AcDbDatabase* db) {
    return db && db->impl() ? db->impl()->changeCount : 0;
}

} // namespace cadhost::db
