#include "text/mtextpick.h"

namespace cadhost::text {

bool LayoutContainsPoint(const MTextLayout& layout, double x, double y, double tolerance) {
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const LaidOutLine& line = layout.lines[i];
        if (!line.shows)
            continue;
        double bottom =
            i + 1 < layout.lines.size() ? line.top - line.pitch : line.baseline - line.height / 3.0;
        if (x >= line.left - tolerance && x <= line.right + tolerance &&
            y <= line.top + tolerance && y >= bottom - tolerance)
            return true;
    }
    return false;
}

bool MTextContainsPoint(const MTextLayout& layout, const MTextPlacement& placement,
                        const Vec3& point, double tolerance) {
    TextFrame frame = FrameOf(placement, layout.width, layout.height);
    Vec3 offset = point - frame.origin;
    return LayoutContainsPoint(layout, Dot(offset, frame.xAxis), Dot(offset, frame.yAxis),
                               tolerance);
}

} // namespace cadhost::text
