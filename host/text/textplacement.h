// Where an MText's layout lies in the world: the frame that its location (the attachment
// point), direction, normal and attachment give to the layout's own coordinates.  Plain
// structs, so that drawing and picking need no database classes.
#pragma once

#include <cmath>

namespace cadhost::text {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

struct MTextPlacement {
    Vec3 location;
    Vec3 direction{1.0, 0.0, 0.0};
    Vec3 normal{0.0, 0.0, 1.0};
    int attachment = 1; // 1 top left ... 9 bottom right, as AcDbMText::AttachmentPoint
    double width = 0.0; // the entity's width; 0 for text that is not wrapped
};

// The layout's frame in the world: its origin (the top left of the text) and unit axes.
struct TextFrame {
    Vec3 origin;
    Vec3 xAxis{1.0, 0.0, 0.0};
    Vec3 yAxis{0.0, 1.0, 0.0};

    Vec3 toWorld(double x, double y) const { return origin + xAxis * x + yAxis * y; }
};

// `layoutWidth` and `layoutHeight` are the laid-out text's extents: the width of its widest
// line (used when the entity has no width) and its measured height.
TextFrame FrameOf(const MTextPlacement& placement, double layoutWidth, double layoutHeight);

} // namespace cadhost::text
