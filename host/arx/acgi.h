// How entities draw themselves: the host hands an entity's worldDraw a drawing context, and
// the entity describes its geometry in world coordinates through it.  Pictures (EXPORT) and
// the window's drawing view are made this way, so they draw every entity as it says it looks.
#pragma once

#include "arx/adesk.h"
#include "arx/ge.h"

// The properties of what is drawn next.
class AcGiSubEntityTraits {
public:
    virtual ~AcGiSubEntityTraits() = default;
    // A colour index: 1..255, 0 by block, 256 by layer.
    virtual void setColor(Adesk::UInt16 color) = 0;
    virtual Adesk::UInt16 color() const = 0;
};

// The shapes an entity is drawn with.  Each answers whether drawing should stop (kTrue when
// the host no longer wants the rest, kFalse to go on).
class AcGiWorldGeometry {
public:
    virtual ~AcGiWorldGeometry() = default;
    virtual Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                                  const AcGeVector3d& normal) const = 0;
    // An open polyline through the points.
    virtual Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* points,
                                    const AcGeVector3d* normal = nullptr) const = 0;
    // A circular arc in the plane of normal: it starts at center + startVector (whose length
    // is taken to be radius) and turns sweepAngle radians about normal, counterclockwise
    // when the angle is positive.  A context that has no arcs of its own gets it as a
    // polyline of short chords.
    virtual Adesk::Boolean circularArc(const AcGePoint3d& center, double radius,
                                       const AcGeVector3d& normal, const AcGeVector3d& startVector,
                                       double sweepAngle) const;
    // Multiline text in the host's in-line format, laid out by the host's text engine: the
    // attachment point (1 top left ... 9 bottom right) lies at location, the first line runs
    // along direction in the plane of normal, lines wrap at width (0: they do not).
    virtual Adesk::Boolean mtext(const AcGePoint3d& location, const AcGeVector3d& normal,
                                 const AcGeVector3d& direction, int attachment, double width,
                                 double textHeight, const char* contents) const = 0;
};

class AcGiWorldDraw {
public:
    virtual ~AcGiWorldDraw() = default;
    virtual AcGiWorldGeometry& geometry() const = 0;
    virtual AcGiSubEntityTraits& subEntityTraits() const = 0;
};
