// Kept entities draw, box and pick themselves through the shapes their tags describe.
#include "db/dxf/keptgeometry.h"
#include "db/dxf/keptobject.h"
#include "db/geometry.h"
#include "text/mtextlayout.h"
#include "text/mtextpick.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace cadhost::db::dxf {

namespace {

text::Vec3 V(const AcGePoint3d& p) {
    return {p.x, p.y, p.z};
}
text::Vec3 V(const AcGeVector3d& v) {
    return {v.x, v.y, v.z};
}

text::MTextPlacement PlacementOf(const KeptShape& shape) {
    text::MTextPlacement placement;
    placement.location = V(shape.location);
    placement.direction = V(shape.direction);
    placement.normal = V(shape.normal);
    placement.attachment = shape.attachment;
    return placement;
}

text::MTextLayout LayoutOf(const KeptShape& shape) {
    return text::LayOutMText(shape.contents, shape.height, 0.0);
}

// The point of a circle or arc at an angle from its start.
AcGePoint3d OnCircle(const KeptShape& shape, double angle) {
    AcGeVector3d x = shape.startVector - shape.normal * shape.startVector.dotProduct(shape.normal);
    x = x.isZeroLength() ? PlaneXAxis(shape.normal) : x.normal();
    AcGeVector3d y = shape.normal.crossProduct(x);
    return shape.center + (x * std::cos(angle) + y * std::sin(angle)) * shape.radius;
}

void AddShapeExtents(const KeptShape& shape, AcDbExtents& extents) {
    switch (shape.kind) {
    case KeptShape::Kind::Polyline:
        for (const AcGePoint3d& p : shape.points)
            extents.addPoint(p);
        break;
    case KeptShape::Kind::Circle:
    case KeptShape::Kind::Arc: {
        // The ends, and along each world axis the two angles where the curve turns back, if
        // the arc reaches them.
        double sweep = shape.kind == KeptShape::Kind::Circle ? 2.0 * std::numbers::pi : shape.sweep;
        extents.addPoint(OnCircle(shape, 0.0));
        extents.addPoint(OnCircle(shape, sweep));
        AcGeVector3d x = OnCircle(shape, 0.0) - shape.center;
        AcGeVector3d y = OnCircle(shape, std::numbers::pi / 2.0) - shape.center;
        auto along = [](const AcGeVector3d& v, int axis) {
            return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
        };
        for (int axis = 0; axis < 3; ++axis) {
            double turn = std::atan2(along(y, axis), along(x, axis));
            for (double angle : {turn, turn + std::numbers::pi}) {
                // The same angle counted the way the arc turns, within one turn.
                double turned = std::fmod(sweep < 0.0 ? -angle : angle, 2.0 * std::numbers::pi);
                if (turned < 0.0)
                    turned += 2.0 * std::numbers::pi;
                if (turned <= std::fabs(sweep))
                    extents.addPoint(OnCircle(shape, sweep < 0.0 ? -turned : turned));
            }
        }
        break;
    }
    case KeptShape::Kind::Text: {
        text::MTextLayout layout = LayoutOf(shape);
        text::TextFrame frame = text::FrameOf(PlacementOf(shape), layout.width, layout.height);
        for (double x : {0.0, layout.width})
            for (double y : {0.0, -layout.height}) {
                text::Vec3 p = frame.toWorld(x, y);
                extents.addPoint(AcGePoint3d(p.x, p.y, p.z));
            }
        break;
    }
    }
}

// How far a point lies from a circle or arc, seen along its normal.
double DistanceToArc(const KeptShape& shape, const AcGePoint3d& point) {
    AcGeVector3d d = point - shape.center;
    AcGeVector3d inPlane = d - shape.normal * d.dotProduct(shape.normal);
    if (shape.kind == KeptShape::Kind::Circle)
        return std::fabs(inPlane.length() - shape.radius);
    AcGeVector3d x = shape.startVector.normal();
    AcGeVector3d y = shape.normal.crossProduct(x);
    double angle = std::atan2(inPlane.dotProduct(y), inPlane.dotProduct(x));
    // The angle measured the way the arc turns, from 0 to a full turn.
    if (shape.sweep < 0.0)
        angle = -angle;
    if (angle < 0.0)
        angle += 2.0 * std::numbers::pi;
    if (angle <= std::fabs(shape.sweep))
        return std::fabs(inPlane.length() - shape.radius);
    AcGePoint3d start = OnCircle(shape, 0.0), end = OnCircle(shape, shape.sweep);
    return std::min(point.distanceTo(start), point.distanceTo(end));
}

} // namespace

Acad::ErrorStatus KeptEntity::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    std::vector<KeptShape> shapes = ShapesOfKept(m_kept);
    if (shapes.empty())
        return Acad::eNullExtents;
    AcDbExtents box;
    for (const KeptShape& shape : shapes)
        AddShapeExtents(shape, box);
    if (!IsFinite(box.minPoint()) || !IsFinite(box.maxPoint()) ||
        box.minPoint().x > box.maxPoint().x)
        return Acad::eInvalidExtents;
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus KeptEntity::getDistanceTo(const AcGePoint3d& point, double& distance) const {
    assertReadEnabled();
    double best = std::numeric_limits<double>::infinity();
    for (const KeptShape& shape : ShapesOfKept(m_kept)) {
        switch (shape.kind) {
        case KeptShape::Kind::Polyline:
            for (std::size_t i = 1; i < shape.points.size(); ++i)
                best =
                    std::min(best, DistanceToSegment(point, shape.points[i - 1], shape.points[i]));
            break;
        case KeptShape::Kind::Circle:
        case KeptShape::Kind::Arc:
            best = std::min(best, DistanceToArc(shape, point));
            break;
        case KeptShape::Kind::Text:
            // A text is picked within its lines, as MText is.
            if (text::MTextContainsPoint(LayoutOf(shape), PlacementOf(shape), V(point), 0.0))
                best = 0.0;
            break;
        }
    }
    if (!std::isfinite(best))
        return Acad::eNotApplicable;
    distance = best;
    return Acad::eOk;
}

Adesk::Boolean KeptEntity::worldDraw(AcGiWorldDraw* mode) {
    assertReadEnabled();
    AcGiWorldGeometry& geometry = mode->geometry();
    for (const KeptShape& shape : ShapesOfKept(m_kept)) {
        Adesk::Boolean stop = Adesk::kFalse;
        switch (shape.kind) {
        case KeptShape::Kind::Polyline:
            stop = geometry.polyline(static_cast<Adesk::UInt32>(shape.points.size()),
                                     shape.points.data());
            break;
        case KeptShape::Kind::Circle:
            stop = geometry.circle(shape.center, shape.radius, shape.normal);
            break;
        case KeptShape::Kind::Arc:
            stop = geometry.circularArc(shape.center, shape.radius, shape.normal, shape.startVector,
                                        shape.sweep);
            break;
        case KeptShape::Kind::Text:
            stop = geometry.mtext(shape.location, shape.normal, shape.direction, shape.attachment,
                                  0.0, shape.height, shape.contents.c_str());
            break;
        }
        if (stop)
            return Adesk::kFalse;
    }
    return Adesk::kTrue;
}

Acad::ErrorStatus KeptEntity::getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray&,
                                            AcDbIntArray&) const {
    assertReadEnabled();
    for (const KeptShape& shape : ShapesOfKept(m_kept)) {
        switch (shape.kind) {
        case KeptShape::Kind::Polyline:
            for (const AcGePoint3d& p : shape.points)
                gripPoints.append(p);
            break;
        case KeptShape::Kind::Circle:
            gripPoints.append(shape.center);
            break;
        case KeptShape::Kind::Arc:
            gripPoints.append(shape.center);
            gripPoints.append(OnCircle(shape, 0.0));
            gripPoints.append(OnCircle(shape, shape.sweep));
            break;
        case KeptShape::Kind::Text:
            gripPoints.append(shape.location);
            break;
        }
    }
    return Acad::eOk;
}

} // namespace cadhost::db::dxf
