// What a drawing context draws when it has no shape of its own for a primitive.
#include "arx/acgi.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

Adesk::Boolean AcGiWorldGeometry::circularArc(const AcGePoint3d& center, double radius,
                                              const AcGeVector3d& normal,
                                              const AcGeVector3d& startVector,
                                              double sweepAngle) const {
    if (!(radius > 0.0) || !std::isfinite(radius) || !std::isfinite(sweepAngle))
        return Adesk::kFalse;
    AcGeVector3d n = normal.normal();
    AcGeVector3d x = startVector - n * startVector.dotProduct(n);
    if (x.isZeroLength())
        return Adesk::kFalse;
    x = x.normal() * radius;
    AcGeVector3d y = n.crossProduct(x);
    // Chords of at most 5 degrees: smooth at the sizes a screen or a picture shows.
    double sweep = std::clamp(sweepAngle, -2.0 * std::numbers::pi, 2.0 * std::numbers::pi);
    int steps =
        std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 36))));
    std::vector<AcGePoint3d> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        double a = sweep * i / steps;
        points.push_back(center + x * std::cos(a) + y * std::sin(a));
    }
    return polyline(static_cast<Adesk::UInt32>(points.size()), points.data(), &n);
}
