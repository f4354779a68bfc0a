// UCS: the drawing's user coordinate system, in which points are typed.
#include "arx/dbdatabase.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/points.h"
#include "editor/session.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace cadhost::editor {

namespace {

void Rotate(AcDbDatabase* db, const AcGeVector3d& ucsAxis, double degrees) {
    AcGeMatrix3d toWorld = UcsToWorld(db);
    AcGeVector3d axis = ucsAxis;
    axis.transformBy(toWorld);
    AcGeMatrix3d turn = AcGeMatrix3d::rotation(degrees * std::numbers::pi / 180.0, axis.normal());
    AcGeVector3d x = db->ucsxdir(), y = db->ucsydir();
    x.transformBy(turn);
    y.transformBy(turn);
    db->setUcs(db->ucsorg(), x, y);
}

void CmdUcs() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    if (!db)
        return;
    InputItem option = s.ask("\nEnter an option [Origin/X/Y/Z/World] <World>: ");
    if (option.kind != InputItem::Text)
        return;
    char c = option.text.empty()
                 ? 'W'
                 : static_cast<char>(std::toupper(static_cast<unsigned char>(option.text[0])));
    switch (c) {
    case 'W':
        db->setUcs(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis);
        return;
    case 'O': {
        ads_point p;
        if (acedGetPoint(nullptr, "\nSpecify new origin point <0,0,0>: ", p) != RTNORM)
            return;
        AcGePoint3d origin(p[0], p[1], p[2]);
        db->setUcs(origin.transformBy(UcsToWorld(db)), db->ucsxdir(), db->ucsydir());
        return;
    }
    case 'X':
    case 'Y':
    case 'Z': {
        InputItem angle =
            s.ask(std::string("\nSpecify rotation angle about ") + c + " axis <90>: ");
        if (angle.kind != InputItem::Text)
            return;
        double degrees = 90.0;
        if (!angle.text.empty()) {
            char* end = nullptr;
            degrees = std::strtod(angle.text.c_str(), &end);
            if (*end || !std::isfinite(degrees)) {
                s.reportFailure("\nRequires a valid angle.");
                return;
            }
        }
        AcGeVector3d axis = c == 'X'   ? AcGeVector3d::kXAxis
                            : c == 'Y' ? AcGeVector3d::kYAxis
                                       : AcGeVector3d::kZAxis;
        Rotate(db, axis, degrees);
        return;
    }
    default:
        s.reportFailure("\nInvalid option keyword.");
        return;
    }
}

} // namespace

void RegisterUcsCommands(CommandStack& stack) {
    AddHostCommand(stack, "UCS", CmdUcs);
}

} // namespace cadhost::editor
