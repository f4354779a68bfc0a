// What a changed object writes: its fields as it files them now, with what it was read with
// and does not model put back, so that changing one property does not drop the others.
#pragma once

#include "db/dxf/tags.h"

namespace cadhost::db::dxf {

// The tags of a changed object: now (its dxfOutFields and extended data) with, from raw
// (the tags it was read with), the 102 groups of its object part (reactors, extension
// dictionary) and, within each subclass of the host's own classes, the groups that the
// class does not write.  Groups a class writes only when they differ from their default
// are the class's own, so their absence keeps its meaning.
Tags MergeChanged(const Tags& raw, const Tags& now);

} // namespace cadhost::db::dxf
