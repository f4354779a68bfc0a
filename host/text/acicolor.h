// The AutoCAD Color Index: the 255 standard colours that MText's \C code names.
#pragma once

#include "text/textdocument.h"

namespace cadhost::text {

// The colour of index 1..255 in the standard palette (index 7 shows as white).
Rgb AciToRgb(int index);

// The index 1..255 whose colour is nearest (in RGB distance) to `color`; the lowest index
// wins a tie, so the pure colours 1..7 are preferred to their copies further on.
int NearestAci(Rgb color);

} // namespace cadhost::text
