// The host's access to entities when they join a database.
#pragma once

#include "arx/dbentity.h"

namespace cadhost::db {

struct EntityAccess {
    // Binds the entity's layer name to the layer record of its new database, when the
    // database has that layer (the name alone is kept otherwise).
    static void bindToDatabase(AcDbEntity& entity);
};

} // namespace cadhost::db
