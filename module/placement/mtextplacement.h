// Putting MText into the drawing: the box prompt, and one styled text tagged with its box,
// moved from the user coordinate system into the current space.
#pragma once

#include "arx/dbid.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"

class AcDbDatabase;
class AcDbEntity;
class AcDbMText;

// Asks for the upper-left and the lower-right corner of the box; the points are written only
// when both were picked.
bool PickBoxCorners(AcGePoint3d& cornerA, AcGePoint3d& cornerB);

// A new MText appended to the current space of the working database and left open for write
// for the caller to close; nullptr on failure.  box, when given, points to the corners A and
// B, recorded on the text as extended data of "KSRRivlet".
AcDbMText* CreateMText(const AcGePoint3d& insertion, double width, const char* contents,
                       double height, const AcGePoint3d* box = nullptr);

Acad::ErrorStatus AddToCurrentSpace(AcDbEntity* entity, AcDbDatabase* database);
// The text style of the name in the working database, in any letter case.
AcDbObjectId GetTextStyleId(const char* styleName);
// From the database's UCS into world coordinates.
void TransformByUcs(AcDbEntity* entity, AcDbDatabase* database);
