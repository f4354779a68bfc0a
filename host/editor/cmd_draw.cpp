// LINE and CIRCLE: drawing from points given in the current UCS.
#include "arx/dbdatabase.h"
#include "arx/dbents.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/points.h"
#include "editor/session.h"

#include <cmath>
#include <cstdlib>

namespace cadhost::editor {

namespace {

bool AskPoint(Session& s, const std::string& prompt, const Point3* base, Point3& out) {
    ads_point b = {0, 0, 0};
    if (base) {
        b[0] = base->x;
        b[1] = base->y;
        b[2] = base->z;
    }
    ads_point r;
    if (acedGetPoint(base ? b : nullptr, prompt.c_str(), r) != RTNORM)
        return false;
    out = Point3{r[0], r[1], r[2]};
    return true;
}

void CmdLine() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    if (!db)
        return;
    AcGeMatrix3d toWorld = UcsToWorld(db);
    Point3 from;
    if (!AskPoint(s, "\nSpecify first point: ", nullptr, from))
        return;
    Point3 to;
    while (AskPoint(s, "\nSpecify next point: ", &from, to)) {
        AcGePoint3d a(from.x, from.y, from.z), b(to.x, to.y, to.z);
        AppendToCurrentSpace(db, new AcDbLine(a.transformBy(toWorld), b.transformBy(toWorld)));
        from = to;
    }
}

void CmdCircle() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    if (!db)
        return;
    Point3 center;
    if (!AskPoint(s, "\nSpecify center point for circle: ", nullptr, center))
        return;
    InputItem item = s.ask("\nSpecify radius of circle: ");
    if (item.kind != InputItem::Text)
        return;
    char* end = nullptr;
    double radius = std::strtod(item.text.c_str(), &end);
    if (item.text.empty() || *end || !(radius > 0) || !std::isfinite(radius)) {
        s.reportFailure("\nRequires a positive number.");
        return;
    }
    AcGeMatrix3d toWorld = UcsToWorld(db);
    AcGePoint3d c(center.x, center.y, center.z);
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    normal.transformBy(toWorld);
    AppendToCurrentSpace(db, new AcDbCircle(c.transformBy(toWorld), normal.normal(), radius));
}

} // namespace

void RegisterDrawCommands(CommandStack& stack) {
    AddHostCommand(stack, "LINE", CmdLine);
    AddHostCommand(stack, "CIRCLE", CmdCircle);
}

} // namespace cadhost::editor
