// The shapes of a kept entity, read from the tags it was filed with: what the host can draw,
// box and pick of entity types it has no class for.  LINE, ARC, CIRCLE, LWPOLYLINE, POLYLINE
// (2D with its bulges as arcs, and 3D) and TEXT are understood; every other type has no
// shapes.  Coordinates that the file gives in an entity's own plane (arcs, circles, 2D
// polylines, texts) are turned into world coordinates here.
#pragma once

#include "arx/ge.h"
#include "db/dxf/keptobject.h"

#include <string>
#include <vector>

namespace cadhost::db::dxf {

struct KeptShape {
    enum class Kind { Polyline, Arc, Circle, Text };
    Kind kind = Kind::Polyline;
    // Polyline: its points, in order (a closed one repeats its first point at the end).
    std::vector<AcGePoint3d> points;
    // Arc and Circle: centre, radius and the normal of their plane.  Arc: the vector from the
    // centre to its start and the signed angle it turns about the normal.
    AcGePoint3d center;
    double radius = 0.0;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    AcGeVector3d startVector = AcGeVector3d::kXAxis;
    double sweep = 0.0;
    // Text, as the multiline text it looks like: the attachment point (1..9, as MText's) at
    // location, the first line along direction, the text height, and the string in MText's
    // in-line format.
    AcGePoint3d location;
    AcGeVector3d direction = AcGeVector3d::kXAxis;
    int attachment = 7;
    double height = 0.0;
    std::string contents;
};

// The shapes of a kept entity (none for a type without geometry here, or broken values).
std::vector<KeptShape> ShapesOfKept(const KeptTags& kept);

// A TEXT string in MText's in-line format: its %% codes become the characters they stand
// for (%%u and %%o switch underline and overline), and what MText would read as a format
// code is escaped.
std::string TextStringAsMText(const std::string& text);

} // namespace cadhost::db::dxf
