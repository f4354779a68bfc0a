// Laying specification items out in the drawing as newspaper columns of MText inside a box,
// and storing each item's source with the handles of its texts.
#pragma once

#include "conversion/mtextrtf.h"

#include "arx/ge.h"

// Places the items top to bottom in columns as wide and as tall as the box from cornerA to
// cornerB, the first at cornerA, each further column one column gap right of the previous
// one and starting at the top point's y.  An item that does not fit in what is left of a
// column is cut between pieces and continues in the next column with the font, height and
// paragraph indents in force at the cut.  Every stored record of the drawing is removed first
// and one record per item is saved under its index.
//
// Answers the number of items placed, or 0 when a text could not be created (the texts made
// until then stay, and the records of the items finished until then are saved).
int LayOutItems(const AcGePoint3d& topPoint, const AcGePoint3d& cornerA, const AcGePoint3d& cornerB,
                const CMtextRtfHolder& items, double textHeight, double plainTextHeight,
                double itemGap, double columnGap);
