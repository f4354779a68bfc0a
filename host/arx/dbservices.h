// Database services of the command-line interface: registered applications, the UCS
// matrix, and the ads names that stand for objects in result buffers.
#pragma once

#include "arx/adsdefs.h"
#include "arx/dbid.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"

class AcDbDatabase;

// Adds the application name to the working database's registered application table when it
// is missing.  RTNORM when the name is (now) registered; RTERROR without a working database,
// for an invalid name, or when the table cannot be opened for write.
int acdbRegApp(const char* appName);

// The matrix from the database's UCS to world coordinates (the working database when db is
// null).  False when there is no database.
bool acdbUcsMatrix(AcGeMatrix3d& matrix, AcDbDatabase* db = nullptr);

// An object id as an ads name and back.  eNullObjectId for a null id or name; eInvalidAdsName
// for a name that stands for no object of a loaded drawing.
Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);
