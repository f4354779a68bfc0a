// An MText laid out by the text engine and made ready for the window's painter: every piece
// of text with the glyphs of the face it was measured with, at the positions the engine gave
// its characters (the same lines and glyph positions that EXPORT draws and actualHeight
// measures), and the lines drawn with it (underlines, fraction bars).  Made once per content,
// height, width and font, and kept while the drawing shows it: a pan or zoom lays nothing out.
#pragma once

#include "text/mtextlayout.h"

#include <QList>
#include <QRawFont>
#include <QRectF>

#include <memory>
#include <string>
#include <vector>

namespace cadhost::gui {

// Characters of one format on one baseline.
struct GlyphPiece {
    int face = 0;                 // index into the text's faces
    text::MTextCharFormat format; // height, width factor, slant, colour
    double x = 0.0;               // the piece's origin on its baseline, in the text's own
    double baseline = 0.0;        // coordinates (x right, y up, 0 at the top)
    double sizeScale = 1.0;       // of the format's height (stacked parts are smaller)
    double width = 0.0;           // how far the piece reaches along its baseline
    QList<quint32> glyphs;        // one per character
    std::vector<double> xs;       // each character's distance from the origin
    // Characters the face has no glyph for (0 in glyphs), drawn with a fallback font.
    std::vector<std::pair<std::size_t, char32_t>> missing;
};

// A straight line drawn with the text: underline, overline, strike-through, fraction bar.
struct TextStroke {
    double x0 = 0.0, x1 = 0.0, y = 0.0; // in the text's own coordinates
    double thickness = 0.0;
    text::MTextColor color;
};

struct PreparedLine {
    double top = 0.0, bottom = 0.0; // what the line's ink may reach, in the text's coordinates
    std::size_t firstPiece = 0, pieceCount = 0;
    std::size_t firstStroke = 0, strokeCount = 0;
};

struct PreparedText {
    double width = 0.0;  // the widest line (the frame's width when the entity has none)
    double height = 0.0; // as actualHeight measures
    QRectF box;          // the ink's box in the text's coordinates (y up)
    std::vector<text::LaidOutFace> faceInfo;
    std::vector<int> faces; // each face's number (FaceNumber)
    std::vector<GlyphPiece> pieces;
    std::vector<TextStroke> strokes;
    std::vector<PreparedLine> lines;
};

// Lays the content out and prepares it.
std::shared_ptr<const PreparedText> PrepareText(const std::string& contents, double textHeight,
                                                double width, const std::string& styleFont);

// Faces are loaded once per process and known by number: the face of a font file, or of the
// family when there is no file, at a size of reference.
int FaceNumber(const text::LaidOutFace& face);
const QRawFont& Face(int number);
// The size faces are loaded at (pixels per em).
inline constexpr double kReferencePixels = 64.0;

} // namespace cadhost::gui
