// Registration of the database's classes.  Each class enters the class dictionary the first
// time its desc() runs (after its parent); this makes that happen for all of them at once,
// so that lookups by name work before any object of a class exists.
#include "db/registerclasses.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbfiler.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"

namespace cadhost::db {

void RegisterDatabaseClasses() {
    AcRxClass* (*const classes[])() = {
        &AcDbObject::desc,
        &AcDbDictionary::desc,
        &AcDbSymbolTable::desc,
        &AcDbBlockTable::desc,
        &AcDbLayerTable::desc,
        &AcDbTextStyleTable::desc,
        &AcDbRegAppTable::desc,
        &AcDbSymbolTableRecord::desc,
        &AcDbBlockTableRecord::desc,
        &AcDbLayerTableRecord::desc,
        &AcDbTextStyleTableRecord::desc,
        &AcDbRegAppTableRecord::desc,
        &AcDbEntity::desc,
        &AcDbLine::desc,
        &AcDbCircle::desc,
        &AcDbMText::desc,
        &AcDbDatabase::desc,
        &AcDbHostApplicationServices::desc,
        &AcDbDwgFiler::desc,
        &AcDbDxfFiler::desc,
    };
    for (auto desc : classes)
        desc();
    acrxBuildClassHierarchy();
}

} // namespace cadhost::db
