// The file state hangs off the database's inside, typed away so that the database layer
// does not depend on the DXF layer.
#include "db/dxf/filestate.h"

#include "db/databaseimpl.h"
#include "db/dxf/objectio.h"
#include "db/dxf/runsort.h"
#include "db/dxf/tagdelta.h"
#include "db/objectaccess.h"

#include <algorithm>
#include <memory>

namespace cadhost::db::dxf {

std::string_view Original::rawText() const {
    if (read.data() || !texts)
        return read;
    return texts->raw;
}

std::string_view Original::canonical(std::string& scratch) const {
    switch (form) {
    case Filed::Not:
        break;
    case Filed::Same:
        return rawText();
    case Filed::Delta:
        scratch.clear();
        ApplyTagDelta(rawText(), texts->filed, scratch);
        return scratch;
    case Filed::Whole:
        return texts->filed;
    }
    return {};
}

void Original::fileFrom(AcDbObject& object, AcDbDatabase* db) {
    if (form != Filed::Not)
        return;
    // Filing out reads the object: one that is closed is opened for the moment.
    std::string now;
    const bool closed = !ObjectAccess::writer(object) && !ObjectAccess::readers(object);
    if (closed)
        ObjectAccess::addReader(object);
    FileOutLayout(object, db, now);
    if (closed)
        object.close();
    if (now == rawText()) {
        form = Filed::Same;
        return;
    }
    if (!texts)
        texts = std::make_unique<Texts>();
    if (std::string delta = TagDelta(rawText(), now); !delta.empty()) {
        form = Filed::Delta;
        texts->filed = std::move(delta);
    } else {
        form = Filed::Whole;
        texts->filed = std::move(now);
    }
}

Original& Originals::add(std::uint64_t handle, AcDbObjectId id) {
    Original& original = m_items.emplace_back();
    original.handle = handle;
    original.id = id;
    return original;
}

void Originals::sort() {
    SortRuns(m_items.begin(), m_items.end(),
             [](const Original& a, const Original& b) { return a.handle < b.handle; });
}

Original* Originals::find(std::uint64_t handle) {
    // Saving asks in the order of the file, mostly that of the handles: the one after the
    // last found is tried first.
    if (m_next < m_items.size() && m_items[m_next].handle == handle)
        return &m_items[m_next++];
    auto it = std::lower_bound(m_items.begin(), m_items.end(), handle,
                               [](const Original& a, std::uint64_t h) { return a.handle < h; });
    if (it == m_items.end() || it->handle != handle)
        return nullptr;
    m_next = static_cast<std::size_t>(it - m_items.begin()) + 1;
    return &*it;
}

void FileOriginalsBeforeChange(AcDbDatabase& db, AcDbObject& object, bool showsElsewhere) {
    FileState* state = FileStateOf(&db);
    if (!state || state->unfiled == 0) {
        db.impl()->beforeChange = nullptr;
        return;
    }
    auto file = [&](Original& original, AcDbObject& of) {
        if (original.form == Original::Filed::Not) {
            original.fileFrom(of, &db);
            --state->unfiled;
        }
    };
    if (!showsElsewhere) {
        if (Original* original =
                state->originals.find(static_cast<std::uint64_t>(object.objectId().handle())))
            file(*original, object);
        return;
    }
    // Every object is filed out now, once: nothing is left to wait for.
    db.impl()->beforeChange = nullptr;
    for (Original& original : state->originals)
        if (AcDbObject* of = ObjectOf(original.id))
            file(original, *of);
    state->unfiled = 0;
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
