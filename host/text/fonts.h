// Font metrics for measuring text: fontconfig finds the font file for a family, bold and
// italic (Liberation Sans, Serif and Mono answer for Arial, Times New Roman and Courier New;
// a family that is not installed gets the default sans font), FreeType reads the advances.
//
// Fonts, their advances and the answers of fontconfig are cached for the life of the process
// and freed at exit.  Single-threaded, like the host.
#pragma once

#include "text/mtextformat.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

namespace cadhost::text {

class FontLibrary;

class Font {
public:
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The family, weight and slant of the face actually found (what a picture must name to
    // be drawn with the same glyphs).
    const std::string& family() const { return m_family; }
    bool bold() const { return m_bold; }
    bool italic() const { return m_italic; }
    const std::string& file() const { return m_file; }

    // A text height is the height of the capital letters, so the font's size (its em) for a
    // height h is h × emPerHeight().
    double emPerHeight() const { return m_emPerHeight; }

    // The advance of a character in ems.  A character the face has no glyph for takes the
    // advance of a fallback font that has one (as a renderer would draw it), else that of
    // the face's missing-glyph box.
    double advance(char32_t c) {
        if (c < m_ascii.size()) {
            float a = m_ascii[c];
            return a >= 0.0f ? a : loadAdvance(c);
        }
        auto it = m_others.find(c);
        return it != m_others.end() ? it->second : loadAdvance(c);
    }

private:
    friend class FontLibrary;
    Font(FontLibrary& library, void* face, std::string file, std::string family, bool bold,
         bool italic);
    double loadAdvance(char32_t c);
    double glyphAdvance(unsigned glyph) const;
    bool hasGlyph(char32_t c) const;

    FontLibrary& m_library;
    void* m_face; // FT_Face, or null for the built-in metrics used when no font is installed
    std::string m_file;
    std::string m_family;
    bool m_bold;
    bool m_italic;
    double m_unitsPerEm = 1000.0;
    double m_emPerHeight = 1.0 / 0.7;
    std::array<float, 128> m_ascii;
    std::unordered_map<char32_t, float> m_others;
};

class FontLibrary {
public:
    static FontLibrary& instance();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // Never fails: an unknown family gets the default sans font, and with no font installed
    // at all a built-in face with fixed metrics keeps measuring possible.
    Font& resolve(const MTextFontRequest& request);

private:
    friend class Font;
    FontLibrary();
    Font* openMatch(void* pattern); // FcPattern*: the font fontconfig matches for it
    Font* openFound(void* found);   // FcPattern* of a font fontconfig found
    Font* fallbackFor(char32_t c);  // a font that has a glyph for c, or null
    Font& builtIn();

    void* m_freetype = nullptr;      // FT_Library
    void* m_config = nullptr;        // FcConfig*
    void* m_fallbackOrder = nullptr; // FcFontSet*: fonts in the order fallbacks are tried
    std::unordered_map<std::string, std::unique_ptr<Font>> m_byFile; // "file#index"
    std::unordered_map<std::string, Font*> m_byRequest;
    std::unordered_map<char32_t, Font*> m_fallbacks;
    std::unique_ptr<Font> m_builtIn;
};

} // namespace cadhost::text
