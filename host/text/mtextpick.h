// Picking MText by a point: whether the point lies on the text's extents, the boxes of its
// lines.  A line's box reaches across what the line shows, from the line's top down to the
// next line's top (the last line: a third of its height below its baseline, for descenders).
// Empty lines show nothing and have no box.
#pragma once

#include "text/mtextlayout.h"
#include "text/textplacement.h"

namespace cadhost::text {

// (x, y) in the layout's own coordinates (x right from the left edge, y up from the top).
bool LayoutContainsPoint(const MTextLayout& layout, double x, double y, double tolerance);

// A world point, seen along the text's normal.
bool MTextContainsPoint(const MTextLayout& layout, const MTextPlacement& placement,
                        const Vec3& point, double tolerance);

} // namespace cadhost::text
