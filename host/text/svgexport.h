// A picture of a drawing as an SVG document: the drawing seen from above (world x to the
// right, y up), framed with a margin on a white background, 1000 pixels along its longer side.
// MText is drawn line by line and glyph by glyph where the layout put it, with the faces it
// was measured with, so that the picture shows what actualHeight measured.
#pragma once

#include "text/textplacement.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cadhost::text {

struct DrawingItem {
    enum class Kind { MText, Line, Circle, Arc };
    Kind kind = Kind::Line;
    // An AutoCAD Color Index: 1..255; 7, 0 (by block) and 256 (by layer) draw black, as on
    // paper.
    int colorIndex = 256;
    std::string handle; // written as the element's data-handle when not empty

    // MText
    MTextPlacement placement;
    double textHeight = 0.2;
    std::string contents;
    std::string styleFont = "Arial";

    // Line: start and end.  Circle: centre (start), radius, normal.  Arc: as a circle, from
    // the point at startVector from the centre, turning sweep radians about the normal
    // (counterclockwise when positive).
    Vec3 start, end;
    double radius = 0.0;
    Vec3 normal{0.0, 0.0, 1.0};
    Vec3 startVector{1.0, 0.0, 0.0};
    double sweep = 0.0;
};

// The point of an arc item at an angle (radians) from its start.
Vec3 ArcPoint(const DrawingItem& arc, double angle);
// Points along an arc item, its ends included, no more than a twelfth of a radian apart.
std::vector<Vec3> ArcPoints(const DrawingItem& arc);

enum class PictureDetail {
    // Every glyph where the layout put it, however small it comes out: a picture to zoom in.
    Full,
    // What the picture's pixels can show: a text run whose letters are smaller than a pixel
    // (a font size under one pixel) is drawn as the grey band they blur into, and the bands of
    // lines in one row of pixels are drawn as one, so that the picture of a huge text stays
    // small.  Larger text is drawn as in the full picture.  For pictures made of pixels (PNG).
    Pixels,
};

std::string ExportSvg(const std::vector<DrawingItem>& items,
                      PictureDetail detail = PictureDetail::Full);

// The same document written to `out` piece by piece, so that neither it nor the texts' runs
// are held in memory whole (a text is laid out twice: for the frame, then line by line for
// drawing).  False when writing to `out` failed.
bool WriteSvg(const std::vector<DrawingItem>& items, std::ostream& out,
              PictureDetail detail = PictureDetail::Full);

// A number as the pictures write it: at most ten significant digits, in the shortest form of
// C's "%.10g"; 0 for a value that is not finite or negligibly small.
std::string SvgNumber(double value);

} // namespace cadhost::text
