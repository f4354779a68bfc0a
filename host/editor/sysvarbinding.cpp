#include "editor/sysvarbinding.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "editor/documents.h"
#include "editor/session.h"

#include <ctime>

namespace cadhost::editor {

namespace {

Point3 ToPoint(const AcGePoint3d& p) {
    return {p.x, p.y, p.z};
}
Point3 ToPoint(const AcGeVector3d& v) {
    return {v.x, v.y, v.z};
}

AcDbObjectId SpaceId(AcDbDatabase* db, const char* name) {
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (db->getBlockTable(table, AcDb::kForRead) == Acad::eOk) {
        table->getAt(name, id);
        table->close();
    }
    return id;
}

// The calendar date as the host keeps it: YYYYMMDD.HHMMSS.
double CalendarDate() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return (t.tm_year + 1900) * 10000.0 + (t.tm_mon + 1) * 100.0 + t.tm_mday +
           (t.tm_hour * 10000.0 + t.tm_min * 100.0 + t.tm_sec) / 1e6;
}

std::optional<SysVarValue> Computed(const std::string& name) {
    if (name == "CDATE")
        return CalendarDate();
    Document* doc = Docs().current();
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (name == "DWGNAME" || name == "DWGPREFIX") {
        std::string path = doc ? doc->fileName() : "";
        std::size_t cut = path.find_last_of("\\/");
        std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
        std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
        return name == "DWGNAME" ? file : folder;
    }
    if (name == "DWGTITLED") {
        std::string path = doc ? doc->fileName() : "";
        return int(path.find_first_of("\\/") != std::string::npos);
    }
    if (!db)
        return std::nullopt;
    if (name == "UCSORG")
        return ToPoint(db->ucsorg());
    if (name == "UCSXDIR")
        return ToPoint(db->ucsxdir());
    if (name == "UCSYDIR")
        return ToPoint(db->ucsydir());
    if (name == "WORLDUCS")
        return int(db->ucsorg().isEqualTo(AcGePoint3d::kOrigin) &&
                   db->ucsxdir().isEqualTo(AcGeVector3d::kXAxis) &&
                   db->ucsydir().isEqualTo(AcGeVector3d::kYAxis));
    if (name == "TILEMODE")
        return int(db->currentSpaceId() == SpaceId(db, "*Model_Space"));
    return std::nullopt;
}

} // namespace

void BindDrawingVariables(Session& session) {
    session.sysvars.setComputed(Computed);
    session.sysvars.setOnChange([](const std::string& name, const SysVarValue& value) {
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        if (name != "TILEMODE" || !db)
            return;
        db->setCurrentSpaceId(SpaceId(db, std::get<int>(value) ? "*Model_Space" : "*Paper_Space"));
    });
}

} // namespace cadhost::editor
