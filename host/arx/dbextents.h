// A box in world coordinates, along the axes: what an entity takes of the world.
#pragma once

#include "arx/errorstatus.h"
#include "arx/ge.h"

#include <algorithm>

class AcDbExtents {
public:
    // An empty box: its minimum lies beyond its maximum, so the first point added makes it.
    AcDbExtents() : m_min(1e20, 1e20, 1e20), m_max(-1e20, -1e20, -1e20) {}
    AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max) : m_min(min), m_max(max) {}

    AcGePoint3d minPoint() const { return m_min; }
    AcGePoint3d maxPoint() const { return m_max; }
    // eInvalidExtents when min lies beyond max in any coordinate; the box is then unchanged.
    Acad::ErrorStatus set(const AcGePoint3d& min, const AcGePoint3d& max) {
        if (min.x > max.x || min.y > max.y || min.z > max.z)
            return Acad::eInvalidExtents;
        m_min = min;
        m_max = max;
        return Acad::eOk;
    }

    // Grows the box to take in the point.
    void addPoint(const AcGePoint3d& p) {
        m_min = AcGePoint3d(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
        m_max = AcGePoint3d(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
    }
    // Grows the box to take in another one.
    void addExt(const AcDbExtents& other) {
        if (other.m_min.x > other.m_max.x)
            return;
        addPoint(other.m_min);
        addPoint(other.m_max);
    }

private:
    AcGePoint3d m_min;
    AcGePoint3d m_max;
};
