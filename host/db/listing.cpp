// Listing of entities.
#include "db/listing.h"

#include "arx/dbapserv.h"
#include "arx/dbentity.h"

#include <cstdio>

namespace cadhost::db {

std::string ListReal(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string ListPoint(const AcGePoint3d& p) {
    return "X=" + ListReal(p.x) + "  Y=" + ListReal(p.y) + "  Z=" + ListReal(p.z);
}

void Display(const std::string& text) {
    acdbHostApplicationServices()->displayString(text.c_str(), static_cast<int>(text.size()));
}

void ListHeader(const AcDbEntity& entity, const char* type) {
    char* layer = entity.layer();
    char handle[AcDbHandle::kStrSiz];
    entity.objectId().handle().getIntoAsciiBuffer(handle, sizeof handle);
    Display(std::string("\n") + type + "  Layer: \"" + (layer ? layer : "") +
            "\"  Handle = " + handle);
    acutDelString(layer);
}

} // namespace cadhost::db
