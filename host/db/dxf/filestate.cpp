// The file state hangs off the database's inside, typed away so that the database layer
// does not depend on the DXF layer.
#include "db/dxf/filestate.h"

#include "db/databaseimpl.h"
#include "db/dxf/objectio.h"
#include "db/dxf/tagdelta.h"
#include "db/objectaccess.h"

#include <memory>

namespace cadhost::db::dxf {

std::string_view Original::rawLayout(std::string& scratch) const {
    switch (form) {
    case Raw::Unfiled:
    case Raw::Whole:
        break;
    case Raw::Canonical:
        return canonical;
    case Raw::Delta:
        scratch.clear();
        ApplyTagDelta(canonical, raw, scratch);
        return scratch;
    }
    return rawText();
}

void Original::fileFrom(AcDbObject& object, AcDbDatabase* db) {
    if (form != Raw::Unfiled)
        return;
    // Filing out reads the object: one that is closed is opened for the moment.
    const bool closed = !ObjectAccess::writer(object) && !ObjectAccess::readers(object);
    if (closed)
        ObjectAccess::addReader(object);
    FileOutLayout(object, db, canonical);
    if (closed)
        object.close();
    if (rawText() == canonical) {
        form = Raw::Canonical;
        std::string().swap(raw);
        read = {};
    } else if (std::string delta = TagDelta(canonical, rawText()); !delta.empty()) {
        form = Raw::Delta;
        raw = std::move(delta);
        read = {};
    } else {
        form = Raw::Whole;
    }
}

void FileOriginalsBeforeChange(AcDbDatabase& db, AcDbObject& object, bool showsElsewhere) {
    FileState* state = FileStateOf(&db);
    if (!state || state->unfiled == 0) {
        db.impl()->beforeChange = nullptr;
        return;
    }
    auto file = [&](Original& original, AcDbObject& of) {
        if (original.form == Original::Raw::Unfiled) {
            original.fileFrom(of, &db);
            --state->unfiled;
        }
    };
    if (!showsElsewhere) {
        auto it = state->originals.find(static_cast<std::uint64_t>(object.objectId().handle()));
        if (it != state->originals.end())
            file(it->second, object);
        return;
    }
    for (auto& [handle, original] : state->originals)
        if (AcDbObject* of = ObjectOf(original.id))
            file(original, *of);
    state->unfiled = 0;
    db.impl()->beforeChange = nullptr;
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
