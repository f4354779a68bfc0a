#include "editor/drawing.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "editor/session.h"

namespace cadhost::editor {

AcDbDatabase* CurrentDatabase() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db)
        if (Session* s = TheSession())
            s->reportFailure("\nNo drawing is open.");
    return db;
}

AcGeMatrix3d UcsToWorld(AcDbDatabase* db) {
    AcGeMatrix3d m;
    if (!acdbUcsMatrix(m, db))
        m.setToIdentity();
    return m;
}

bool AppendToCurrentSpace(AcDbDatabase* db, AcDbEntity* entity, AcDbObjectId* idOut) {
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite) != Acad::eOk) {
        delete entity;
        return false;
    }
    AcDbObjectId id;
    Acad::ErrorStatus es = space->appendAcDbEntity(id, entity);
    space->close();
    if (es != Acad::eOk) {
        delete entity;
        return false;
    }
    entity->close();
    if (idOut)
        *idOut = id;
    return true;
}

std::optional<AcDbObjectId> EntityByHandle(AcDbDatabase* db, const std::string& hexText) {
    if (hexText.empty() || hexText.size() > 16 ||
        hexText.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    AcDbObjectId id;
    if (db->getAcDbObjectId(id, false, AcDbHandle(hexText.c_str())) != Acad::eOk || id.isNull() ||
        id.isErased())
        return std::nullopt;
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
        return std::nullopt;
    entity->close();
    return id;
}

std::vector<AcDbObjectId> CurrentSpaceEntities(AcDbDatabase* db) {
    std::vector<AcDbObjectId> ids;
    ReadCurrentSpaceEntities(db, ids);
    return ids;
}

bool ReadCurrentSpaceEntities(AcDbDatabase* db, std::vector<AcDbObjectId>& ids) {
    ids.clear();
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbBlockTableRecordIterator* it = nullptr;
    if (space->newIterator(it) == Acad::eOk) {
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            if (it->getEntityId(id) == Acad::eOk)
                ids.push_back(id);
        }
        delete it;
    }
    space->close();
    return true;
}

std::optional<AcDbObjectId> EntityAt(AcDbDatabase* db, const AcGePoint3d& world, double tolerance) {
    std::vector<AcDbObjectId> ids = CurrentSpaceEntities(db);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, *it, AcDb::kForRead) != Acad::eOk)
            continue;
        double distance = 0.0;
        Acad::ErrorStatus es = entity->getDistanceTo(world, distance);
        entity->close();
        if (es == Acad::eOk && distance <= tolerance)
            return *it;
    }
    return std::nullopt;
}

std::string HandleText(const AcDbObjectId& id) {
    char buffer[AcDbHandle::kStrSiz];
    id.handle().getIntoAsciiBuffer(buffer, sizeof buffer);
    return buffer;
}

} // namespace cadhost::editor
