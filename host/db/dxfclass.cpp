// The registry of the host classes' DXF subclasses.
#include "db/dxfclass.h"

#include <cstring>

namespace cadhost::db {

namespace {

// Filled while the library's static objects are made; read-only afterwards.
std::vector<DxfSubclassInfo>& Registry() {
    static std::vector<DxfSubclassInfo> registry;
    return registry;
}

} // namespace

void RegisterDxfSubclass(DxfSubclassInfo info) {
    Registry().push_back(std::move(info));
}

const DxfSubclassInfo* FindDxfSubclass(std::string_view name) {
    for (const DxfSubclassInfo& info : Registry())
        if (info.name == name)
            return &info;
    return nullptr;
}

AcRxClass* HostClassOfDxfType(std::string_view type) {
    for (const DxfSubclassInfo& info : Registry()) {
        AcRxClass* cls = info.desc();
        const char* dxfName = cls ? cls->dxfName() : nullptr;
        if (dxfName && type == dxfName)
            return cls;
    }
    return nullptr;
}

} // namespace cadhost::db
