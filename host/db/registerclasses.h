// Registration of the database's classes in "ClassDictionary".
#pragma once

namespace cadhost::db {

// Enters every database class (AcDbObject, AcDbEntity, AcDbMText, AcDbDictionary, the
// tables and records, the filers, ...) in the class dictionary with its parent and DXF name.
// The host calls it at start-up; calling it again does nothing more.
void RegisterDatabaseClasses();

} // namespace cadhost::db
