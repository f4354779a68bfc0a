// The file state hangs off the database's inside, typed away so that the database layer
// does not depend on the DXF layer.
#include "db/dxf/filestate.h"

#include "db/databaseimpl.h"
#include "db/dxf/tagdelta.h"

#include <memory>

namespace cadhost::db::dxf {

std::string_view Original::rawLayout(std::string& scratch) const {
    switch (form) {
    case Raw::Canonical:
        return canonical;
    case Raw::Delta:
        scratch.clear();
        ApplyTagDelta(canonical, raw, scratch);
        return scratch;
    case Raw::Whole:
        break;
    }
    return raw;
}

FileState* FileStateOf(const AcDbDatabase* db) {
    return db ? static_cast<FileState*>(db->impl()->fileState.get()) : nullptr;
}

FileState& AttachFileState(AcDbDatabase* db) {
    auto state = std::make_shared<FileState>();
    FileState& ref = *state;
    db->impl()->fileState = std::move(state);
    return ref;
}

} // namespace cadhost::db::dxf
