// Geometry the entities share: the plane coordinate system of a normal, and the test of a
// matrix that keeps shapes similar.
#pragma once

#include "arx/errorstatus.h"
#include "arx/ge.h"

namespace cadhost::db {

// The x axis of the coordinate system a normal defines (the arbitrary axis rule of drawing
// files): planes with the same normal get the same axes, so angles stored in files agree.
AcGeVector3d PlaneXAxis(const AcGeVector3d& normal);

// Whether a matrix keeps shapes similar (move, turn, mirror, uniform scale).  eOk with its
// scale factor; eInvalidInput for a singular, projective or non-finite matrix;
// eCannotScaleNonUniformly for one that distorts.
Acad::ErrorStatus CheckSimilarity(const AcGeMatrix3d& xform, double& scale);

// Whether all three coordinates are finite numbers.
bool IsFinite(const AcGePoint3d& p);
bool IsFinite(const AcGeVector3d& v);

// A normal read from a file, at unit length: files may hold any vector, and a zero or broken
// one falls back to the z axis rather than poisoning later arithmetic.
AcGeVector3d UsableNormal(const AcGeVector3d& v);

// How far p lies from the segment from a to b.
double DistanceToSegment(const AcGePoint3d& p, const AcGePoint3d& a, const AcGePoint3d& b);

} // namespace cadhost::db
