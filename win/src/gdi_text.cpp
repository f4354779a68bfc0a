// Fonts and text: CreateFont, text metrics and extents, TextOut, ExtTextOut and DrawText.
#include "gdi_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace win::gdi {

namespace {

// Held while fonts are resolved and glyphs rendered: FreeType's library and faces are shared
// by every DC.
std::mutex& FontMutex() {
    static std::mutex mutex;
    return mutex;
}

// Without a font installed text still measures and shows: a face that draws every visible
// character as a box half an em wide.
class BoxFont final : public FontInstance {
public:
    explicit BoxFont(int ppem) : m_ppem(std::max(ppem, 4)) {
        m_metrics.tmAscent = m_ppem * 9 / 10;
        m_metrics.tmDescent = m_ppem - m_metrics.tmAscent + 1;
        m_metrics.tmHeight = m_metrics.tmAscent + m_metrics.tmDescent;
        m_metrics.tmInternalLeading = m_metrics.tmHeight - m_ppem;
        m_metrics.tmAveCharWidth = m_ppem / 2;
        m_metrics.tmMaxCharWidth = m_ppem / 2;
    }
    const GlyphImage& glyph(char32_t c, bool) override {
        std::lock_guard lock(FontMutex());
        GlyphImage& g = c == U' ' ? m_space : m_box;
        if (g.advance == 0) {
            g.advance = m_ppem / 2;
            if (&g == &m_box) {
                g.left = 1;
                g.width = std::max(1, g.advance - 2);
                g.rows = m_metrics.tmAscent * 7 / 10;
                g.top = g.rows;
                g.alpha.assign(static_cast<std::size_t>(g.width) * g.rows, 255);
            }
        }
        return g;
    }

private:
    int m_ppem;
    GlyphImage m_box, m_space;
};

class FreeTypeFont final : public FontInstance {
public:
    FreeTypeFont(FT_Face face, const LOGFONTA& lf, bool emboldenFace, bool slantFace)
        : m_face(face), m_embolden(emboldenFace), m_slant(slantFace) {
        measure(lf);
    }
    ~FreeTypeFont() override { FT_Done_Face(m_face); }

    const GlyphImage& glyph(char32_t c, bool mono) override {
        std::lock_guard lock(FontMutex());
        auto& cache = mono ? m_mono : m_grey;
        auto it = cache.find(c);
        if (it != cache.end())
            return it->second;
        GlyphImage& g = cache[c];
        render(c, mono, g);
        return g;
    }

private:
    void measure(const LOGFONTA& lf);
    void render(char32_t c, bool mono, GlyphImage& g);

    FT_Face m_face;
    bool m_embolden;
    bool m_slant;
    std::unordered_map<char32_t, GlyphImage> m_grey;
    std::unordered_map<char32_t, GlyphImage> m_mono;
};

long Round(double v) {
    return std::lround(v);
}

void FreeTypeFont::measure(const LOGFONTA& lf) {
    // Text is smoothed when the font asks for it; otherwise it has the crisp one-bit glyphs
    // of the classic look.
    m_monochrome = lf.lfQuality != ANTIALIASED_QUALITY && lf.lfQuality != CLEARTYPE_QUALITY;
    double upem = m_face->units_per_EM > 0 ? m_face->units_per_EM : 2048.0;
    double winAscent = m_face->ascender, winDescent = -m_face->descender;
    double lineGap = 0, hheaAscent = m_face->ascender, hheaDescent = -m_face->descender;
    double averageWidth = 0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
        averageWidth = os2->xAvgCharWidth;
    }
    if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_HHEA))) {
        lineGap = hhea->Line_Gap;
        hheaAscent = hhea->Ascender;
        hheaDescent = -hhea->Descender;
    }
    // A negative height is the em; a positive one the whole cell (ascent and descent).
    double ppem;
    if (lf.lfHeight < 0)
        ppem = -static_cast<double>(lf.lfHeight);
    else if (lf.lfHeight > 0)
        ppem = lf.lfHeight * upem / (winAscent + winDescent);
    else
        ppem = 12.0;
    ppem = std::clamp(ppem, 1.0, 2048.0);
    FT_Set_Char_Size(m_face, 0, static_cast<FT_F26Dot6>(Round(ppem * 64.0)), 72, 72);
    double scale = ppem / upem;

    TEXTMETRICA& tm = m_metrics;
    tm.tmAscent = Round(winAscent * scale);
    tm.tmDescent = lf.lfHeight > 0 ? lf.lfHeight - tm.tmAscent : Round(winDescent * scale);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - Round(ppem));
    double gap = lineGap - ((winAscent + winDescent) - (hheaAscent + hheaDescent));
    tm.tmExternalLeading = std::max<LONG>(0, Round(gap * scale));
    if (averageWidth <= 0) {
        FT_UInt x = FT_Get_Char_Index(m_face, 'x');
        if (x && FT_Load_Glyph(m_face, x, FT_LOAD_NO_SCALE) == 0)
            averageWidth = m_face->glyph->advance.x;
        else
            averageWidth = upem / 2;
    }
    tm.tmAveCharWidth = std::max<LONG>(1, Round(averageWidth * scale));
    tm.tmMaxCharWidth = std::max<LONG>(tm.tmAveCharWidth, Round(m_face->max_advance_width * scale));
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 30;
    tm.tmLastChar = 255;
    tm.tmDefaultChar = 31;
    tm.tmBreakChar = 32;
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    // The low bit set means a variable pitch; 0x06 a TrueType outline font.
    BYTE family = lf.lfPitchAndFamily & 0xF0;
    tm.tmPitchAndFamily = static_cast<BYTE>((FT_IS_FIXED_WIDTH(m_face) ? 0 : 1) | 0x06 | family);
    tm.tmCharSet = lf.lfCharSet;

    // Underline and strikeout: FreeType gives the underline's centre, the OS/2 table the top of
    // the strikeout stroke.
    double thickness = m_face->underline_thickness > 0 ? m_face->underline_thickness : upem / 20;
    double centre = m_face->underline_position < 0 ? -m_face->underline_position : upem / 10;
    m_underlineThickness = std::max<int>(1, Round(thickness * scale));
    m_underlineOffset = std::max<int>(0, Round(centre * scale - m_underlineThickness / 2.0));
    // At small sizes a row between the letters and the line keeps them apart, where the
    // descent has room for it.
    m_underlineOffset = std::max(m_underlineOffset, 1);
    if (m_underlineOffset + m_underlineThickness > tm.tmDescent)
        m_underlineOffset = std::max<int>(0, tm.tmDescent - m_underlineThickness);
    double strike = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : upem * 0.26;
    double strikeSize = os2 && os2->yStrikeoutSize > 0 ? os2->yStrikeoutSize : thickness;
    m_strikeoutThickness = std::max<int>(1, Round(strikeSize * scale));
    m_strikeoutOffset = std::max<int>(1, Round(strike * scale));
}

void FreeTypeFont::render(char32_t c, bool mono, GlyphImage& g) {
    FT_UInt index = FT_Get_Char_Index(m_face, c);
    FT_Int32 load = mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
    if (FT_Load_Glyph(m_face, index, load) != 0 &&
        (index == 0 || FT_Load_Glyph(m_face, 0, load) != 0))
        return;
    FT_GlyphSlot slot = m_face->glyph;
    if (m_embolden)
        FT_GlyphSlot_Embolden(slot);
    if (m_slant)
        FT_GlyphSlot_Oblique(slot);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_LIGHT) != 0)
        return;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.alpha.assign(static_cast<std::size_t>(g.width) * g.rows, 0);
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        if (bm.pitch < 0)
            row = bm.buffer + static_cast<std::ptrdiff_t>(g.rows - 1 - y) * -bm.pitch;
        for (int x = 0; x < g.width; ++x) {
            std::uint8_t a;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                a = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            else
                a = row[x];
            g.alpha[static_cast<std::size_t>(y) * g.width + x] = a;
        }
    }
}

// The families that stand in for the fonts of Windows dialogs and documents.
std::string StandIn(const std::string& face, BYTE pitchAndFamily) {
    std::string lower;
    for (char ch : face)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
    static const std::pair<const char*, const char*> kStandIns[] = {
        {"ms sans serif", "Liberation Sans"},
        {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"},
        {"microsoft sans serif", "Liberation Sans"},
        {"tahoma", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"arial narrow", "Liberation Sans Narrow"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"ms serif", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
        {"fixedsys", "Liberation Mono"},
        {"terminal", "Liberation Mono"},
        {"lucida console", "Liberation Mono"},
    };
    for (const auto& [name, family] : kStandIns)
        if (lower == name)
            return family;
    if (!lower.empty())
        return face;
    if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN)
        return "Liberation Mono";
    if ((pitchAndFamily & 0xF0) == FF_ROMAN)
        return "Liberation Serif";
    return "Liberation Sans";
}

class FontSystem {
public:
    static FontSystem& instance() {
        static FontSystem system;
        return system;
    }
    ~FontSystem() {
        m_instances.clear(); // faces before the library that made them
        if (m_freetype)
            FT_Done_FreeType(m_freetype);
        if (m_config)
            FcConfigDestroy(m_config);
    }

    FontInstance& resolve(const LOGFONTA& lf) {
        std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
        bool bold = lf.lfWeight >= FW_SEMIBOLD;
        bool italic = lf.lfItalic != 0;
        std::string key = face + '\n' + std::to_string(lf.lfHeight) + (bold ? "b" : "-") +
                          (italic ? "i" : "-") + std::to_string(lf.lfPitchAndFamily) +
                          (lf.lfUnderline ? "u" : "-") + (lf.lfStrikeOut ? "s" : "-");
        auto it = m_instances.find(key);
        if (it != m_instances.end())
            return *it->second;
        std::unique_ptr<FontInstance> made =
            open(lf, StandIn(face, lf.lfPitchAndFamily), bold, italic);
        if (!made)
            made = std::make_unique<BoxFont>(lf.lfHeight < 0   ? -lf.lfHeight
                                             : lf.lfHeight > 0 ? lf.lfHeight * 4 / 5
                                                               : 12);
        FontInstance& result = *made;
        m_instances.emplace(key, std::move(made));
        return result;
    }

private:
    FontSystem() {
        if (FT_Init_FreeType(&m_freetype) != 0)
            m_freetype = nullptr;
        m_config = FcInitLoadConfigAndFonts();
    }

    std::unique_ptr<FontInstance> open(const LOGFONTA& lf, const std::string& family, bool bold,
                                       bool italic) {
        if (!m_freetype || !m_config)
            return nullptr;
        FcPattern* pattern = FcPatternCreate();
        if (!pattern)
            return nullptr;
        auto addFamily = [&](const char* name) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
        };
        addFamily(family.c_str());
        // A family that is not installed takes the dialog stand-in rather than whatever the
        // configuration's default is.
        addFamily("Liberation Sans");
        addFamily("sans-serif");
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(m_config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(m_config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match)
            return nullptr;
        FcChar8* file = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetString(match, FC_FILE, 0, &file);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        FT_Face face = nullptr;
        bool opened =
            file && FT_New_Face(m_freetype, reinterpret_cast<const char*>(file), index, &face) == 0;
        FcPatternDestroy(match);
        if (!opened)
            return nullptr;
        // A face without the weight or slant asked for is made bold or oblique.
        return std::make_unique<FreeTypeFont>(face, lf, bold && weight < FC_WEIGHT_DEMIBOLD,
                                              italic && slant == FC_SLANT_ROMAN);
    }

    FT_Library m_freetype = nullptr;
    FcConfig* m_config = nullptr;
    std::unordered_map<std::string, std::unique_ptr<FontInstance>> m_instances;
};

void Blend(Canvas& c, int x, int y, COLORREF color, std::uint8_t a) {
    if (!a || !c.inside(x, y))
        return;
    COLORREF& d = c.at(x, y);
    if (a == 255 || c.mono) {
        if (a >= 128)
            d = c.Store(color);
        return;
    }
    auto mix = [a](unsigned fg, unsigned bg) { return (fg * a + bg * (255u - a) + 127u) / 255u; };
    d = RGB(static_cast<BYTE>(mix(GetRValue(color), GetRValue(d))),
            static_cast<BYTE>(mix(GetGValue(color), GetGValue(d))),
            static_cast<BYTE>(mix(GetBValue(color), GetBValue(d))));
}

// Where a text's cell starts, from the reference point and the DC's text alignment.
POINT CellOrigin(UINT align, int x, int y, int width, const TEXTMETRICA& tm) {
    if ((align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (align & TA_RIGHT)
        x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        y -= tm.tmAscent;
    else if (align & TA_BOTTOM)
        y -= tm.tmHeight;
    return {x, y};
}

// Lines of DrawText: the characters of each with their marks.
struct Line {
    MarkedText text;
    int width = 0;
};

MarkedText Slice(const MarkedText& t, std::size_t from, std::size_t to) {
    MarkedText s;
    s.chars = t.chars.substr(from, to - from);
    s.underlined.assign(t.underlined.begin() + from, t.underlined.begin() + to);
    return s;
}

// Tabs become blanks up to the next stop, every eight average widths from the line's start.
MarkedText ExpandTabs(FontInstance& font, const MarkedText& t) {
    int stop = std::max<int>(1, font.metrics().tmAveCharWidth * 8);
    int space = std::max(1, font.advance(U' '));
    MarkedText out;
    int x = 0;
    for (std::size_t i = 0; i < t.chars.size(); ++i) {
        if (t.chars[i] == U'\t') {
            int next = (x / stop + 1) * stop;
            for (; x < next; x += space) {
                out.chars.push_back(U' ');
                out.underlined.push_back(0);
            }
            continue;
        }
        out.chars.push_back(t.chars[i]);
        out.underlined.push_back(t.underlined[i]);
        x += font.advance(t.chars[i]);
    }
    return out;
}

std::vector<Line> LayOut(FontInstance& font, const MarkedText& text, UINT format, int width) {
    std::vector<MarkedText> paragraphs;
    if (format & DT_SINGLELINE) {
        paragraphs.push_back(text);
    } else {
        std::size_t start = 0;
        const std::u32string& s = text.chars;
        for (std::size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == U'\r' || s[i] == U'\n') {
                paragraphs.push_back(Slice(text, start, i));
                if (i + 1 < s.size() && s[i] == U'\r' && s[i + 1] == U'\n')
                    ++i;
                start = i + 1;
            }
        }
    }
    std::vector<Line> lines;
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (MarkedText& p : paragraphs) {
        if (format & DT_EXPANDTABS)
            p = ExpandTabs(font, p);
        if (!wrap) {
            lines.push_back({p, TextWidth(font, p.chars)});
            continue;
        }
        // Greedy breaking at blanks: a line takes words while they fit; the blanks where it
        // breaks are dropped.
        const std::u32string& s = p.chars;
        std::size_t lineStart = 0;
        while (true) {
            std::size_t end = lineStart, lastFit = std::string::npos;
            int x = 0;
            for (; end < s.size(); ++end) {
                if (s[end] == U' ' && end > lineStart && s[end - 1] != U' ')
                    lastFit = end;
                x += font.advance(s[end]);
                if (x > width && s[end] != U' ' && lastFit != std::string::npos)
                    break;
            }
            if (end >= s.size()) {
                MarkedText last = Slice(p, lineStart, s.size());
                lines.push_back({last, TextWidth(font, last.chars)});
                break;
            }
            MarkedText piece = Slice(p, lineStart, lastFit);
            lines.push_back({piece, TextWidth(font, piece.chars)});
            lineStart = lastFit;
            while (lineStart < s.size() && s[lineStart] == U' ')
                ++lineStart;
            if (lineStart >= s.size())
                break;
        }
    }
    return lines;
}

} // namespace

FontInstance& InstanceOf(Font& font) {
    if (!font.instance) {
        std::lock_guard lock(FontMutex());
        font.instance = &FontSystem::instance().resolve(font.lf);
    }
    return *font.instance;
}

std::u32string DecodeUtf8(const char* s, std::size_t n) {
    std::u32string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n;) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80           ? 0
                    : (b >> 5) == 0x6  ? 1
                    : (b >> 4) == 0xE  ? 2
                    : (b >> 3) == 0x1E ? 3
                                       : -1;
        if (extra < 0 || i + extra >= n) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cont = static_cast<unsigned char>(s[i + k]);
            if ((cont & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cont & 0x3F);
        }
        if (!ok) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

MarkedText ApplyPrefixes(const std::u32string& text, bool process) {
    MarkedText out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (process && text[i] == U'&') {
            if (i + 1 >= text.size())
                break;
            ++i;
            out.chars.push_back(text[i]);
            out.underlined.push_back(text[i] != U'&');
            continue;
        }
        out.chars.push_back(text[i]);
        out.underlined.push_back(0);
    }
    return out;
}

int TextWidth(FontInstance& font, const std::u32string& text) {
    int width = 0;
    for (char32_t c : text)
        width += font.advance(c);
    return width;
}

namespace {

// Calls draw(x, y, alpha) for each covered pixel of a line of text whose cell's top left is
// (x0, y0), underlines included.
template <class F>
void Rasterize(FontInstance& font, const MarkedText& text, int x0, int y0, bool mono, bool glyphs,
               bool underlines, F draw) {
    const TEXTMETRICA& tm = font.metrics();
    int baseline = y0 + tm.tmAscent;
    int x = x0;
    for (std::size_t i = 0; i < text.chars.size(); ++i) {
        const GlyphImage& g = font.glyph(text.chars[i], mono || font.monochrome());
        int advance = font.advance(text.chars[i]);
        if (glyphs)
            for (int row = 0; row < g.rows; ++row)
                for (int col = 0; col < g.width; ++col)
                    draw(x + g.left + col, baseline - g.top + row,
                         g.alpha[static_cast<std::size_t>(row) * g.width + col]);
        if (underlines && text.underlined[i])
            for (int t = 0; t < font.underlineThickness(); ++t)
                for (int col = 0; col < advance; ++col)
                    draw(x + col, baseline + font.underlineOffset() + t, 255);
        x += advance;
    }
    if (glyphs && tm.tmUnderlined)
        for (int t = 0; t < font.underlineThickness(); ++t)
            for (int col = x0; col < x; ++col)
                draw(col, baseline + font.underlineOffset() + t, 255);
    if (glyphs && tm.tmStruckOut)
        for (int t = 0; t < font.strikeoutThickness(); ++t)
            for (int col = x0; col < x; ++col)
                draw(col, baseline - font.strikeoutOffset() + t, 255);
}

} // namespace

void TextMask(FontInstance& font, const MarkedText& text, bool underlines, int w, int h,
              std::vector<std::uint8_t>& mask) {
    mask.assign(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0), 0);
    Rasterize(font, text, 0, 0, true, true, underlines, [&](int x, int y, std::uint8_t a) {
        if (a >= 128 && x >= 0 && y >= 0 && x < w && y < h)
            mask[static_cast<std::size_t>(y) * w + x] = 1;
    });
}

void DrawTextLine(Canvas& canvas, FontInstance& font, const MarkedText& text, int x, int y,
                  COLORREF color, bool glyphs, bool underlines) {
    if (!canvas.pixels)
        return;
    Rasterize(font, text, x, y, false, glyphs, underlines,
              [&](int px, int py, std::uint8_t a) { Blend(canvas, px, py, color, a); });
}

} // namespace win::gdi

using namespace win::gdi;

namespace {

FontInstance* DcFont(HDC hdc, Dc*& dc) {
    dc = LookupDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Font* font = FontOf(dc);
    return font ? &InstanceOf(*font) : nullptr;
}

std::size_t Length(LPCSTR s, int c) {
    if (!s)
        return 0;
    return c < 0 ? std::strlen(s) : static_cast<std::size_t>(c);
}

} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_unique<Font>();
    font->lf = *lplf;
    font->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return ToHandle<HFONT>(Register(std::move(font)));
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName) {
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = bItalic ? 1 : 0;
    lf.lfUnderline = bUnderline ? 1 : 0;
    lf.lfStrikeOut = bStrikeOut ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName)
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    Dc* dc;
    FontInstance* font = DcFont(hdc, dc);
    if (!font || !lptm)
        return FALSE;
    *lptm = font->metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    Dc* dc;
    FontInstance* font = DcFont(hdc, dc);
    if (!font || !psizl || (!lpString && c > 0) || c < 0)
        return FALSE;
    psizl->cx = TextWidth(*font, DecodeUtf8(lpString, Length(lpString, c)));
    psizl->cy = font->metrics().tmHeight;
    return TRUE;
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
    Dc* dc = LookupDc(hdc);
    Font* font = dc ? FontOf(dc) : nullptr;
    if (!font)
        return 0;
    std::size_t n = strnlen(font->lf.lfFaceName, LF_FACESIZE);
    if (!lpName)
        return static_cast<int>(n + 1);
    if (c <= 0)
        return 0;
    n = std::min(n, static_cast<std::size_t>(c - 1));
    std::memcpy(lpName, font->lf.lfFaceName, n);
    lpName[n] = '\0';
    return static_cast<int>(n);
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                 const int* lpDx) {
    Dc* dc;
    Canvas canvas;
    if (!CanvasOf(hdc, dc, canvas))
        return FALSE;
    if (lprect && (options & ETO_OPAQUE))
        canvas.fill(canvas.toDevice(*lprect), dc->state.bkColor);
    if (!lpString || c == 0)
        return TRUE; // a rectangle only, as FillSolidRect draws it
    if (lprect && (options & ETO_CLIPPED))
        canvas.clip = canvas.toDevice(*lprect);
    FontInstance& font = InstanceOf(*FontOf(dc));
    MarkedText text = ApplyPrefixes(DecodeUtf8(lpString, c), false);
    const TEXTMETRICA& tm = font.metrics();
    int width = 0;
    if (lpDx)
        for (std::size_t i = 0; i < text.chars.size(); ++i)
            width += lpDx[i];
    else
        width = TextWidth(font, text.chars);
    UINT align = dc->state.textAlign;
    if (align & TA_UPDATECP)
        x = dc->state.position.x, y = dc->state.position.y;
    POINT cell = CellOrigin(align, x, y, width, tm);
    int dx = cell.x + canvas.dx, dy = cell.y + canvas.dy;
    if (dc->state.bkMode == OPAQUE)
        canvas.fill({dx, dy, dx + width, dy + tm.tmHeight}, dc->state.bkColor);
    if (!lpDx) {
        DrawTextLine(canvas, font, text, dx, dy, dc->state.textColor, true, false);
    } else {
        // Each character at its own advance.
        int px = dx;
        for (std::size_t i = 0; i < text.chars.size(); ++i) {
            MarkedText one = Slice(text, i, i + 1);
            DrawTextLine(canvas, font, one, px, dy, dc->state.textColor, true, false);
            px += lpDx[i];
        }
    }
    if (align & TA_UPDATECP)
        dc->state.position.x += (align & TA_CENTER) == TA_CENTER ? 0
                                : (align & TA_RIGHT)             ? -width
                                                                 : width;
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    if (c < 0 || (!lpString && c > 0))
        return FALSE;
    return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    Dc* dc;
    Canvas canvas;
    if (!lprc || (!lpchText && cchText != 0) || !CanvasOf(hdc, dc, canvas))
        return 0;
    FontInstance& font = InstanceOf(*FontOf(dc));
    const TEXTMETRICA& tm = font.metrics();
    bool prefixes = !(format & DT_NOPREFIX);
    MarkedText text = ApplyPrefixes(DecodeUtf8(lpchText, Length(lpchText, cchText)), prefixes);
    RECT r = *lprc;
    std::vector<Line> lines = LayOut(font, text, format, r.right - r.left);
    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    int height = lineHeight * static_cast<int>(lines.size());
    int widest = 0;
    for (const Line& line : lines)
        widest = std::max(widest, line.width);

    if (format & DT_CALCRECT) {
        lprc->right = r.left + widest;
        lprc->bottom = r.top + height;
        return height;
    }
    int top = r.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = r.top + (r.bottom - r.top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = r.bottom - lineHeight;
    }
    if (!(format & DT_NOCLIP)) {
        RECT box = canvas.toDevice(r);
        canvas.clip = box;
    }
    bool glyphs = !(format & DT_PREFIXONLY);
    bool underlines = prefixes && !(format & DT_HIDEPREFIX);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        int x = r.left;
        if (format & DT_CENTER)
            x = r.left + (r.right - r.left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = r.right - line.width;
        int y = top + static_cast<int>(i) * lineHeight;
        int dx = x + canvas.dx, dy = y + canvas.dy;
        if (dc->state.bkMode == OPAQUE && glyphs)
            canvas.fill({dx, dy, dx + line.width, dy + tm.tmHeight}, dc->state.bkColor);
        DrawTextLine(canvas, font, line.text, dx, dy, dc->state.textColor, glyphs, underlines);
    }
    if (format & DT_SINGLELINE && (format & (DT_VCENTER | DT_BOTTOM)))
        return top - r.top + lineHeight;
    return height;
}

namespace win {

LONG PointSizeToHeight(int pointSize) {
    // Rounded to the nearest pixel, as MulDiv rounds.
    long long num = static_cast<long long>(pointSize) * 96;
    long long px = num >= 0 ? (num + 36) / 72 : (num - 36) / 72;
    return static_cast<LONG>(-px);
}

HFONT CreateDialogFont(const std::string& faceName, int pointSize, LONG weight) {
    return CreateFontA(PointSizeToHeight(pointSize), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, faceName.c_str());
}

} // namespace win
