// The rich edit control's layout: its document set in lines as the control shows it, with the
// fonts of the document (families through the drawing layer's font mapping, sizes in points at
// 96 dots per inch), bold, italic, underline and strikeout, colours, raised and lowered text,
// paragraph indents (first line, left, right), space before and after, alignment, tab stops,
// and lines wrapped at a width.  Positions are the control's character positions
// (richedit_document.h); coordinates are pixels from the top left of the text.
#pragma once

#include "richedit_document.h"

#include "win/gdi.h"

#include <string>
#include <vector>

namespace win::richedit {

// A stretch of a line drawn in one font and colour.
struct Piece {
    std::string text; // UTF-8, as drawn
    int x = 0;        // where its first character starts
    int font = 0;     // index into the layout's fonts
    COLORREF color = 0;
    bool automaticColor = true; // the window text colour, not a colour of its own
    int rise = 0;               // pixels its baseline lies above the line's (below: negative)
};

struct Line {
    long first = 0; // the position of its first character
    long end = 0;   // the position after its last one (its paragraph's break is not in it)
    int top = 0;
    int height = 0;
    int ascent = 0;             // from the top to the baseline
    bool endsParagraph = false; // else the paragraph goes on in the next line
    std::vector<int> edges;     // x of the positions first..end (end - first + 1 of them)
    std::vector<Piece> pieces;
};

class Layout {
public:
    // Lays the document out with the DC's measures (a screen DC will do).  With wrapping, lines
    // break at `width` pixels less the paragraph's right indent; alignment works within
    // `width` either way.
    Layout(const TextDocument& document, HDC measuring, int width, bool wrap);
    ~Layout();
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    const std::vector<Line>& lines() const { return m_lines; }
    int height() const { return m_height; }
    int width() const { return m_width; }
    HFONT font(int index) const { return m_fonts[static_cast<std::size_t>(index)].handle; }

    // The line that shows a position: where it stands, or at the end of its paragraph's last
    // line; a position where a wrapped line ends is the start of the next.
    std::size_t LineOf(long position) const;
    // The caret's place for a position: x, and the top of its line.
    POINT CaretPoint(long position) const;
    // The position nearest a point.
    long PositionAt(POINT point) const;

private:
    struct FontEntry {
        std::string face;
        int height = 0;
        CharFormat key;
        HFONT handle = nullptr;
        TEXTMETRICA metrics{};
        std::vector<int> asciiAdvances; // of characters below 128, -1 until measured
    };
    int FontFor(const TextDocument& document, const CharFormat& format, HDC measuring);
    int Advance(int font, char32_t c, HDC measuring);
    void LayOutParagraph(const TextDocument& document, std::size_t paragraph, long start,
                         HDC measuring, bool wrap, CharFormat& mark);

    std::vector<FontEntry> m_fonts;
    std::vector<Line> m_lines;
    int m_height = 0;
    int m_width = 0;
};

} // namespace win::richedit
