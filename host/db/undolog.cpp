#include "db/undolog.h"

#include "db/databaseimpl.h"
#include "db/dwgfiler.h"
#include "db/edits.h"
#include "db/objectaccess.h"

#include <unordered_set>

namespace cadhost::db {

namespace {

// Open groups over all drawings: while there are none, a change costs one test.
int g_openGroups = 0;

struct Kept {
    AcDbObjectId id;
    bool erased = false;
    std::vector<std::uint8_t> bytes;
};

bool IsOpen(const AcDbObject& object) {
    return ObjectAccess::writer(object) || ObjectAccess::readers(object) ||
           ObjectAccess::notifiers(object);
}

} // namespace

struct UndoLog::Group {
    std::string name;
    std::vector<AcDbObjectId> created;
    std::vector<Kept> kept;
    // Slots already created or kept in this group; only needed while the group is open.
    std::unordered_set<std::uint32_t> touched;
    // The drawing's own settings, which are no objects.
    AcDbObjectId currentSpace;
    AcDbObjectId textStyle;
    AcGePoint3d ucsOrigin;
    AcGeVector3d ucsX;
    AcGeVector3d ucsY;
};

UndoLog::UndoLog(AcDbDatabase::Impl& db) : m_db(db) {}

UndoLog::~UndoLog() {
    if (m_open)
        --g_openGroups;
}

void UndoLog::beginGroup(const std::string& name) {
    if (m_depth++ > 0)
        return;
    m_open = std::make_unique<Group>();
    m_open->name = name;
    m_open->currentSpace = m_db.currentSpace;
    m_open->textStyle = m_db.textStyle;
    m_open->ucsOrigin = m_db.ucsOrigin;
    m_open->ucsX = m_db.ucsX;
    m_open->ucsY = m_db.ucsY;
    ++g_openGroups;
}

void UndoLog::endGroup(bool keepEmpty) {
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_open->touched = {};
    if (keepEmpty || !m_open->created.empty() || !m_open->kept.empty())
        m_closed.push_back(std::move(m_open));
    m_open.reset();
    --g_openGroups;
}

bool UndoLog::recording() const {
    return m_open && !m_replaying;
}

std::size_t UndoLog::groupCount() const {
    return m_closed.size();
}

void UndoLog::noteCreated(AcDbObjectId id) {
    if (!recording())
        return;
    m_open->touched.insert(IdAccess::slot(id));
    m_open->created.push_back(id);
}

void UndoLog::noteChange(AcDbObject& object) {
    if (!recording() || !m_open->touched.insert(IdAccess::slot(object.objectId())).second)
        return;
    // The database layer also changes closed objects (a dictionary entry's owner when it is
    // removed); filing asks for an open object, so the host opens it for the moment.
    const bool closed = !IsOpen(object);
    if (closed)
        ObjectAccess::addReader(object);
    BinaryDwgFiler filer(AcDb::kUndoFiler, m_db.self);
    object.dwgOutFields(&filer);
    if (closed)
        object.close();
    m_open->kept.push_back(Kept{object.objectId(), object.isErased(), filer.takeBytes()});
}

Acad::ErrorStatus UndoLog::undoLast(std::string& name) {
    name.clear();
    if (m_closed.empty())
        return Acad::eNotApplicable;
    Group& group = *m_closed.back();
    auto refusal = [](const AcDbObject* object) {
        if (!object || !IsOpen(*object))
            return Acad::eOk;
        return ObjectAccess::writer(*object) ? Acad::eWasOpenForWrite : Acad::eWasOpenForRead;
    };
    for (const Kept& kept : group.kept)
        if (Acad::ErrorStatus es = refusal(ObjectOf(kept.id)); es != Acad::eOk)
            return es;
    for (AcDbObjectId id : group.created)
        if (Acad::ErrorStatus es = refusal(ObjectOf(id)); es != Acad::eOk)
            return es;

    m_replaying = true;
    Acad::ErrorStatus result = Acad::eOk;
    // Latest first: the reverse of the order the command changed things in.
    for (auto it = group.kept.rbegin(); it != group.kept.rend(); ++it) {
        AcDbObject* object = ObjectOf(it->id);
        if (!object)
            continue;
        ObjectAccess::setWriter(*object);
        BinaryDwgFiler filer(it->bytes, AcDb::kUndoFiler, m_db.self);
        if (Acad::ErrorStatus es = object->dwgInFields(&filer);
            es != Acad::eOk && result == Acad::eOk)
            result = es;
        // Through erase so that a class keeps what depends on the mark (a symbol table's
        // index of names); what it refuses is set all the same, as it was before.
        if (object->isErased() != it->erased && object->erase(it->erased) != Acad::eOk)
            ObjectAccess::setErased(*object, it->erased);
        object->close();
    }
    // The owners filed back in above no longer list these objects.
    for (auto it = group.created.rbegin(); it != group.created.rend(); ++it) {
        Stub& stub = m_db.stubs[IdAccess::slot(*it)];
        AcDbObject* object = stub.object;
        stub.object = nullptr;
        stub.retired = true;
        if (object) {
            ObjectAccess::release(*object);
            delete object;
            --m_db.objectCount;
        }
    }
    m_db.currentSpace = group.currentSpace;
    m_db.textStyle = group.textStyle;
    m_db.ucsOrigin = group.ucsOrigin;
    m_db.ucsX = group.ucsX;
    m_db.ucsY = group.ucsY;
    m_replaying = false;
    NoteEdit(m_db.self);
    name = group.name;
    m_closed.pop_back();
    return result;
}

UndoLog& UndoLogOf(AcDbDatabase& db) {
    AcDbDatabase::Impl& impl = *db.impl();
    if (!impl.undo)
        impl.undo = new UndoLog(impl);
    return *impl.undo;
}

void NoteObjectChange(AcDbObject& object) {
    AcDbDatabase* db = object.database();
    BeforeObjectChange(db, object, ShowsElsewhereWhenWritten(object));
    NoteEdit(db);
    if (g_openGroups == 0)
        return;
    if (db && db->impl()->undo)
        db->impl()->undo->noteChange(object);
}

} // namespace cadhost::db
