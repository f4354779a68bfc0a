// The host's access to entities when they join a database.
#pragma once

#include "arx/dbentity.h"

#include <string>

namespace cadhost::db {

struct EntityAccess {
    // Binds the entity's layer name to the layer record of its new database, when the
    // database has that layer (the name alone is kept otherwise).
    static void bindToDatabase(AcDbEntity& entity);
    // The same for entities joining one database one after the other, while its layers do
    // not change: the layer bound last is kept in `last` and bound again without a search.
    struct LayerBinding {
        std::string asGiven; // the name the entity had
        AcDbObjectId id;
        std::string name; // the record's own spelling
    };
    static void bindToDatabase(AcDbEntity& entity, LayerBinding& last);
    // The layer and colour of an entity a file reader keeps as read: taken as the file has
    // them, without the checks of setLayer and setColorIndex.
    static void setAsRead(AcDbEntity& entity, const std::string& layer, Adesk::UInt16 color);
};

} // namespace cadhost::db
