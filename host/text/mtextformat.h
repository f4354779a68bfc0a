// The formatting that MText content codes resolve to: character formats (font, height, width
// factor, colour, lines) and paragraph formats (indents, tab stops, alignment, spacing), in
// drawing units.  The reader, the parse result and the layout share these types.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace cadhost::text {

// A font as a \f or \F code (or the text style) names it.  `family` is the family name, or
// for a font file the file's base name without folder and extension.
struct MTextFontRequest {
    std::string family;
    bool bold = false;
    bool italic = false;
    int charset = 0;       // the code's c field
    int pitch = 0;         // the code's p field
    bool fromFile = false; // named by \F (a font file) or by a style's file name
    bool operator==(const MTextFontRequest&) const = default;
};

// The entity's own colour, an AutoCAD Color Index, or a true colour.
struct MTextColor {
    enum class Kind : std::uint8_t { Entity, Index, True };
    Kind kind = Kind::Entity;
    int index = 0;                             // Kind::Index: 0 by block, 1..255, 256 by layer
    std::uint8_t red = 0, green = 0, blue = 0; // Kind::True
    bool operator==(const MTextColor&) const = default;
};

// Where a run smaller than its line sits (\A): on the baseline, centred, or at the top.
enum class MTextVerticalAlign : std::uint8_t { Bottom = 0, Center = 1, Top = 2 };

// Kept small and trivially copyable: the reader saves and restores a stack of these at every
// brace and at every point where measuring may later resume.
struct MTextCharFormat {
    int font = 0;        // index into the reader's (and the parse result's) font list
    double height = 0.0; // text height in drawing units
    double widthFactor = 1.0;
    double obliqueDegrees = 0.0;
    double tracking = 1.0; // spacing factor between characters
    MTextColor color;
    MTextVerticalAlign verticalAlign = MTextVerticalAlign::Bottom;
    bool underline = false;
    bool overline = false;
    bool strike = false;
    bool operator==(const MTextCharFormat&) const = default;
};

enum class MTextTabType : std::uint8_t { Left, Center, Right, Decimal };

struct MTextTabStop {
    double position = 0.0; // from the left edge of the text, drawing units
    MTextTabType type = MTextTabType::Left;
    bool operator==(const MTextTabStop&) const = default;
};

enum class MTextParagraphAlign : std::uint8_t { Left, Center, Right, Justified, Distributed };

struct MTextParagraphFormat {
    // More stops than this in one code are dropped; real content uses a handful.
    static constexpr int kMaxTabStops = 32;

    double firstIndent = 0.0; // of the first line, relative to the left indent
    double leftIndent = 0.0;  // of the other lines, from the left edge
    double rightIndent = 0.0; // from the right edge (the entity's width)
    MTextParagraphAlign align = MTextParagraphAlign::Left;
    // The default line pitch is 5/3 of the tallest text height in the line.  A multiple
    // (\pxsm) scales it; an "at least" value (\pxsa) is a multiple of the entity's own
    // default pitch below which the line's pitch does not fall.
    double lineSpacing = 1.0;
    bool spacingAtLeast = false;
    int tabCount = 0;
    std::array<MTextTabStop, kMaxTabStops> tabs{};

    bool operator==(const MTextParagraphFormat&) const = default;
};

} // namespace cadhost::text
