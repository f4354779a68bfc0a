// The layout of an MText entity's content at its width: lines with their runs' positions, for
// drawing and picking.  text/mtextflow.h describes the geometry; MeasureMTextHeight
// (text/mtextmeasure.h) gives the same height without keeping the lines.
#pragma once

#include "text/mtextflow.h"
#include "text/mtextformat.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::text {

// The face a font index was drawn with.
struct LaidOutFace {
    std::string family; // as installed ("Liberation Sans" for Arial)
    bool bold = false;
    bool italic = false;
    double emPerHeight = 1.0; // font size = text height × emPerHeight
    std::string file;         // the font file measured ("" for the built-in metrics)
};

struct MTextLayout {
    std::vector<MTextFontRequest> fonts; // what the content asked for, by font index
    std::vector<LaidOutFace> faces;      // what it was measured and is drawn with, same index
    std::vector<LaidOutLine> lines;
    double height = 0.0; // as MeasureMTextHeight
    double width = 0.0;  // right end of the widest line
    // Text that is not wrapped: the right end of the widest line before its centred and
    // right-aligned lines were aligned within it.
    double alignWidth = 0.0;
};

// `textHeight` is the entity's text height (a value that is not positive gives an empty
// layout); `width` 0 does not wrap; `styleFont` is the text style's font ("Arial" for the
// Standard style).
MTextLayout LayOutMText(std::string_view contents, double textHeight, double width,
                        std::string_view styleFont = "Arial");

// The same layout with lines that keep their extents but no runs: what the text's box,
// picking and the frame of a picture need, in a small part of the memory.
MTextLayout LayOutMTextExtents(std::string_view contents, double textHeight, double width,
                               std::string_view styleFont = "Arial");

// The lines of LayOutMText one at a time, with their runs, for a content too large to keep
// laid out whole: each line is handed to `onLine` as soon as it is finished and dropped after.
// `extents` is the layout of the same content and arguments (from LayOutMTextExtents); it
// tells where lines of text that is not wrapped are aligned.  Without `characters` the runs
// have their place, size and format but no text and no character positions.
void ForEachMTextLine(std::string_view contents, double textHeight, double width,
                      std::string_view styleFont, const MTextLayout& extents,
                      const std::function<void(const LaidOutLine&)>& onLine,
                      bool characters = true);

} // namespace cadhost::text
