#include "text/textplacement.h"

namespace cadhost::text {

namespace {

Vec3 Unit(Vec3 v, Vec3 fallback) {
    double length = std::sqrt(Dot(v, v));
    if (!(length > 1e-12) || !std::isfinite(length))
        return fallback;
    return v * (1.0 / length);
}

} // namespace

TextFrame FrameOf(const MTextPlacement& placement, double layoutWidth, double layoutHeight) {
    TextFrame frame;
    Vec3 normal = Unit(placement.normal, {0.0, 0.0, 1.0});
    // The direction is kept in the text's plane, as the entity keeps it.
    Vec3 direction = placement.direction - normal * Dot(placement.direction, normal);
    frame.xAxis =
        Unit(direction, std::fabs(normal.z) < 0.9 ? Unit(Cross({0, 0, 1}, normal), {1, 0, 0})
                                                  : Vec3{1.0, 0.0, 0.0});
    frame.yAxis = Unit(Cross(normal, frame.xAxis), {0.0, 1.0, 0.0});

    int attachment =
        placement.attachment >= 1 && placement.attachment <= 9 ? placement.attachment : 1;
    int column = (attachment - 1) % 3; // left, centre, right
    int row = (attachment - 1) / 3;    // top, middle, bottom
    double width = placement.width > 0.0 ? placement.width : layoutWidth;
    double dx = -width * 0.5 * column;
    double dy = layoutHeight * 0.5 * row;
    frame.origin = placement.location + frame.xAxis * dx + frame.yAxis * dy;
    return frame;
}

} // namespace cadhost::text
