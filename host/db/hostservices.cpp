// The working database and the command-line database services.
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "db/symbolname.h"

#include <cstdio>

// ---- AcDbHostApplicationServices -------------------------------------------------------------

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbHostApplicationServices, AcRxObject)

AcDbHostApplicationServices::AcDbHostApplicationServices() = default;
AcDbHostApplicationServices::~AcDbHostApplicationServices() = default;

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const {
    return m_workingDatabase;
}

void AcDbHostApplicationServices::setWorkingDatabase(AcDbDatabase* db) {
    m_workingDatabase = db;
}

void AcDbHostApplicationServices::displayString(const char* string, int count) const {
    if (string && count > 0)
        std::fwrite(string, 1, static_cast<std::size_t>(count), stdout);
}

namespace {

AcDbHostApplicationServices* StandardServices() {
    // Never destroyed: databases destroyed during process exit still ask it.
    static auto* services = new AcDbHostApplicationServices;
    return services;
}

AcDbHostApplicationServices*& CurrentServices() {
    static AcDbHostApplicationServices* current = StandardServices();
    return current;
}

} // namespace

AcDbHostApplicationServices* acdbHostApplicationServices() {
    return CurrentServices();
}

Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* services) {
    AcDbHostApplicationServices* next = services ? services : StandardServices();
    next->setWorkingDatabase(CurrentServices()->workingDatabase());
    CurrentServices() = next;
    return Acad::eOk;
}

// ---- Registered applications -----------------------------------------------------------------

int acdbRegApp(const char* appName) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db || !cadhost::db::IsValidSymbolName(appName))
        return RTERROR;
    AcDbRegAppTable* table = nullptr;
    if (db->getRegAppTable(table, AcDb::kForRead) != Acad::eOk)
        return RTERROR;
    if (table->has(appName)) {
        table->close();
        return RTNORM;
    }
    if (table->upgradeOpen() != Acad::eOk) {
        table->close();
        return RTERROR;
    }
    auto* record = new AcDbRegAppTableRecord;
    Acad::ErrorStatus es = record->setName(appName);
    if (es == Acad::eOk)
        es = table->add(record);
    if (es != Acad::eOk) {
        delete record;
        table->close();
        return RTERROR;
    }
    record->close();
    table->close();
    return RTNORM;
}

// ---- UCS -------------------------------------------------------------------------------------

bool acdbUcsMatrix(AcGeMatrix3d& matrix, AcDbDatabase* db) {
    if (!db)
        db = acdbHostApplicationServices()->workingDatabase();
    if (!db)
        return false;
    AcGeVector3d x = db->ucsxdir(), y = db->ucsydir();
    matrix.setCoordSystem(db->ucsorg(), x, y, x.crossProduct(y));
    return true;
}

// ---- Ads names -------------------------------------------------------------------------------

Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id) {
    name[0] = name[1] = 0;
    if (id.isNull())
        return Acad::eNullObjectId;
    if (!id.isValid())
        return Acad::eInvalidAdsName;
    name[0] = id.asOldId();
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
    id = AcDbObjectId();
    if (name[0] == 0)
        return Acad::eNullObjectId;
    AcDbObjectId candidate;
    candidate.setFromOldId(name[0]);
    if (!candidate.isValid())
        return Acad::eInvalidAdsName;
    id = candidate;
    return Acad::eOk;
}
