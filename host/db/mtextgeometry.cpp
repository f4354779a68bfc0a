#include "db/mtextgeometry.h"

#include "arx/dbmtext.h"

namespace cadhost::db {

text::MTextPlacement PlacementOf(const AcDbMText& mtext) {
    text::MTextPlacement p;
    AcGePoint3d at = mtext.location();
    AcGeVector3d dir = mtext.direction(), normal = mtext.normal();
    p.location = {at.x, at.y, at.z};
    p.direction = {dir.x, dir.y, dir.z};
    p.normal = {normal.x, normal.y, normal.z};
    p.attachment = static_cast<int>(mtext.attachment());
    p.width = mtext.width();
    return p;
}

std::string ContentsOf(const AcDbMText& mtext) {
    char* contents = mtext.contents();
    std::string text = contents ? contents : "";
    acutDelString(contents);
    return text;
}

} // namespace cadhost::db
