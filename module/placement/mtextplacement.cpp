#include "placement/mtextplacement.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "arx/editor.h"

namespace {

const char* const kAppName = "KSRRivlet";

// The box goes on the text as tag 1 and corner A, tag 2 and corner B, as picked.
void AttachBox(AcDbMText* text, const AcGePoint3d* box) {
    acdbRegApp(kAppName);
    const double a[3] = {box[0].x, box[0].y, box[0].z};
    const double b[3] = {box[1].x, box[1].y, box[1].z};
    resbuf* xdata =
        acutBuildList(AcDb::kDxfRegAppName, kAppName, AcDb::kDxfXdInteger16, 1, AcDb::kDxfXdXCoord,
                      a, AcDb::kDxfXdInteger16, 2, AcDb::kDxfXdXCoord, b, 0);
    Acad::ErrorStatus status = xdata ? text->setXData(xdata) : Acad::eOutOfMemory;
    if (status != Acad::eOk)
        acutPrintf("\nERROR: could not set Xdata (%s)", acadErrorStatusText(status));
    acutRelRb(xdata);
}

} // namespace

bool PickBoxCorners(AcGePoint3d& cornerA, AcGePoint3d& cornerB) {
    acutPrintf("\nSelect the corners UPPERLEFT & LOWERRIGHT for the MTEXT box size:");
    ads_point first = {0, 0, 0};
    if (acedGetPoint(nullptr, "\nSelect first corner(NODE): ", first) != RTNORM)
        return false;
    ads_point second = {0, 0, 0};
    if (acedGetCorner(first, "\nSelect second corner(NODE): ", second) != RTNORM)
        return false;
    cornerA = AcGePoint3d(first[X], first[Y], first[Z]);
    cornerB = AcGePoint3d(second[X], second[Y], second[Z]);
    return true;
}

AcDbMText* CreateMText(const AcGePoint3d& insertion, double width, const char* contents,
                       double height, const AcGePoint3d* box) {
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    if (!database)
        return nullptr;
    auto* text = new AcDbMText;
    if (box)
        AttachBox(text, box);
    text->setLocation(insertion);
    text->setWidth(width);
    AcDbObjectId style = GetTextStyleId("STANDARD");
    text->setTextHeight(height);
    text->setTextStyle(style);
    text->setContents(contents);
    TransformByUcs(text, database);
    if (AddToCurrentSpace(text, database) != Acad::eOk) {
        delete text;
        return nullptr;
    }
    return text;
}

Acad::ErrorStatus AddToCurrentSpace(AcDbEntity* entity, AcDbDatabase* database) {
    AcDbBlockTableRecord* space = nullptr;
    if (!database ||
        acdbOpenObject(space, database->currentSpaceId(), AcDb::kForWrite) != Acad::eOk)
        return Acad::eInvalidInput;
    Acad::ErrorStatus status = space->appendAcDbEntity(entity);
    if (status != Acad::eOk)
        acutPrintf("\nERROR: could not add entity to current space");
    space->close();
    return status;
}

AcDbObjectId GetTextStyleId(const char* styleName) {
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    AcDbTextStyleTable* table = nullptr;
    Acad::ErrorStatus status =
        database ? database->getTextStyleTable(table, AcDb::kForRead) : Acad::eNoDatabase;
    if (status != Acad::eOk)
        acrx_abort("!%s@%d: %s", "Utils", __LINE__, acadErrorStatusText(status));
    AcDbObjectId id;
    status = table->getAt(styleName, id);
    table->close();
    if (status != Acad::eOk)
        acrx_abort("!%s@%d: %s", "Utils", __LINE__, acadErrorStatusText(status));
    return id;
}

void TransformByUcs(AcDbEntity* entity, AcDbDatabase* database) {
    AcGeMatrix3d ucsToWorld;
    if (!acdbUcsMatrix(ucsToWorld, database))
        ucsToWorld = AcGeMatrix3d::kIdentity;
    entity->transformBy(ucsToWorld);
}
