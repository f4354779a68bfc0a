// Fonts for the drawing layer: fontconfig finds the face for a LOGFONT, FreeType scales,
// hints and renders its glyphs.  Font instances (a face at a size) and their glyphs are cached
// for the life of the process.
#pragma once

#include "gdi_objects.h"

#include <cstdint>
#include <string>
#include <vector>

namespace win::gdi {

struct GlyphImage {
    int left = 0;  // from the pen position to the first column
    int top = 0;   // rows above the baseline of the first row
    int width = 0; // columns
    int rows = 0;
    int advance = 0;                 // whole pixels
    std::vector<std::uint8_t> alpha; // width * rows coverage, 0..255
};

class FontInstance {
public:
    virtual ~FontInstance() = default;
    const TEXTMETRICA& metrics() const { return m_metrics; }
    // Rows from the baseline to the top of the underline, and its thickness; rows from the
    // baseline up to the top of the strikeout line, and its thickness.
    int underlineOffset() const { return m_underlineOffset; }
    int underlineThickness() const { return m_underlineThickness; }
    int strikeoutOffset() const { return m_strikeoutOffset; }
    int strikeoutThickness() const { return m_strikeoutThickness; }
    // The glyph of a character, grey-level or (mono) one bit a pixel as 0 or 255.
    virtual const GlyphImage& glyph(char32_t c, bool mono) = 0;
    // Whether text is drawn with one-bit glyphs (else antialiased); the advances are those
    // of the glyphs drawn.
    bool monochrome() const { return m_monochrome; }
    int advance(char32_t c) { return glyph(c, m_monochrome).advance; }

protected:
    bool m_monochrome = true;
    TEXTMETRICA m_metrics{};
    int m_underlineOffset = 1;
    int m_underlineThickness = 1;
    int m_strikeoutOffset = 3;
    int m_strikeoutThickness = 1;
};

FontInstance& InstanceOf(Font& font);

// Text with the characters that draw underlined (the mnemonics of "&x").
struct MarkedText {
    std::u32string chars;
    std::vector<std::uint8_t> underlined; // one per character
};

std::u32string DecodeUtf8(const char* s, std::size_t n);
// Removes the prefix marks: "&x" underlines x, "&&" is one "&", a last lone "&" is dropped.
MarkedText ApplyPrefixes(const std::u32string& text, bool process);
int TextWidth(FontInstance& font, const std::u32string& text);

// The one-bit shape of a line of text whose cell's top left is (0, 0), as a mask of w by h
// (1 where the text is drawn): what DrawState embosses.
void TextMask(FontInstance& font, const MarkedText& text, bool underlines, int w, int h,
              std::vector<std::uint8_t>& mask);
// Draws a line of text with its cell's top left at the device point (x, y), in the colour,
// with the marked underlines (and those of the font's own underline and strikeout).
void DrawTextLine(Canvas& canvas, FontInstance& font, const MarkedText& text, int x, int y,
                  COLORREF color, bool glyphs, bool underlines);

} // namespace win::gdi
