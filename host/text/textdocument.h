// The document model of the text engine.  Readers (Rich Text, plain text) fill it; writers
// (MText content, plain text, Rich Text for the rich edit control) read it, and no
// reader knows a writer.  Lengths are in twips (1/1440 inch), sizes in half-points, text in
// UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cadhost::text {

// A font as the Windows font mapper describes it.
struct FontFace {
    std::string name;       // family name
    int charset = 0;        // Windows charset number (0 ANSI, 2 symbol, 128 Shift-JIS, ...)
    int pitchAndFamily = 0; // pitch in the low bits, family (FF_ROMAN = 0x10, ...) above
    bool operator==(const FontFace&) const = default;
};

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

enum class VerticalPosition : std::uint8_t { Baseline, Superscript, Subscript };

struct CharFormat {
    int font = 0;        // index into TextDocument::fonts
    int halfPoints = 24; // 12 pt
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;   // hidden text: kept in the document, shown by no writer by default
    bool hasColor = false; // false: the automatic colour (the entity's own)
    Rgb color;
    VerticalPosition vertical = VerticalPosition::Baseline;
    bool operator==(const CharFormat&) const = default;
};

enum class TabAlignment : std::uint8_t { Left, Center, Right, Decimal };

struct TabStop {
    int position = 0; // from the left margin
    TabAlignment alignment = TabAlignment::Left;
    bool operator==(const TabStop&) const = default;
};

enum class Alignment : std::uint8_t { Left, Center, Right, Justified };

struct ParagraphFormat {
    int firstIndent = 0; // relative to leftIndent; negative for a hanging indent
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    Alignment alignment = Alignment::Left;
    std::vector<TabStop> tabs; // ascending positions
    bool operator==(const ParagraphFormat&) const = default;
};

// Text of one character format.  Besides printable characters the text holds '\t' for a
// tab, '\n' for a line break inside the paragraph and U+00A0 for a non-breaking space.
struct Run {
    CharFormat format;
    std::string text;
    bool operator==(const Run&) const = default;
};

// What closes a paragraph: a paragraph mark, the end of a table cell, or the end of a table
// row (its last cell).
enum class ParagraphEnd : std::uint8_t { Paragraph, Cell, Row };

struct Paragraph {
    ParagraphFormat format;
    std::vector<Run> runs;
    ParagraphEnd end = ParagraphEnd::Paragraph;
    int tableLevel = 0; // 0 outside tables, 1 in a table, 2 and more in nested tables
    int row = -1;       // index into TextDocument::rows for paragraphs of a top-level row
    bool operator==(const Paragraph&) const = default;
};

// The geometry of one table row: where the row starts and where each cell ends.
struct TableRow {
    int left = 0;
    std::vector<int> cellRightEdges;
    bool operator==(const TableRow&) const = default;
};

struct TextDocument {
    std::vector<FontFace> fonts;
    std::vector<Paragraph> paragraphs;
    std::vector<TableRow> rows;
    int defaultHalfPoints = 24;
    bool operator==(const TextDocument&) const = default;
};

// The font every document has at index 0 when it names none of its own.
inline FontFace DefaultFontFace() {
    return FontFace{"Arial", 0, 0x22};
}

} // namespace cadhost::text
