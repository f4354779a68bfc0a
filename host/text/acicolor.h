// The AutoCAD Color Index: the 255 standard colours that MText's \C code names.
#pragma once

#include "text/mtextformat.h"
#include "text/textdocument.h"

namespace cadhost::text {

// The colour of index 1..255 in the standard palette (index 7 shows as white).
Rgb AciToRgb(int index);

// The index 1..255 whose colour is nearest (in RGB distance) to `color`; the lowest index
// wins a tie, so the pure colours 1..7 are preferred to their copies further on.
int NearestAci(Rgb color);

// How a colour index shows on white paper, as pictures and the window's view show drawings:
// 7 (white on a dark screen), 0 (by block) and 256 (by layer) draw black.
Rgb PaperColor(int index);
// The colour of MText characters on paper: their own, else the entity's index.
Rgb PaperColor(const MTextColor& color, int entityIndex);

} // namespace cadhost::text
