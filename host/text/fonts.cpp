#include "text/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>

namespace cadhost::text {

namespace {

// fontconfig answers take a millisecond or so each; past this many distinct font names (only
// hostile content has that many) the name cache starts over rather than growing.
constexpr std::size_t kMaxCachedRequests = 1024;

// The built-in face: about the proportions of a sans font, so that text without any
// installed font still wraps plausibly.
constexpr double kBuiltInAdvance = 0.55;
constexpr double kBuiltInCapHeight = 0.7;

FT_Face Face(void* face) {
    return static_cast<FT_Face>(face);
}

std::string RequestKey(const MTextFontRequest& request) {
    std::string key;
    key.reserve(request.family.size() + 2);
    for (char c : request.family)
        key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    key.push_back(request.bold ? 'b' : '-');
    key.push_back(request.italic ? 'i' : '-');
    return key;
}

std::string PatternString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    return {};
}

int PatternInt(FcPattern* pattern, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

// The cap height as a fraction of the em: from the OS/2 table when it has one, else from the
// outline of "H", else a typical value.
double CapHeightPerEm(FT_Face face) {
    double units = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0)
        return os2->sCapHeight / units;
    FT_UInt glyph = FT_Get_Char_Index(face, 'H');
    if (glyph && FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) == 0 &&
        face->glyph->metrics.horiBearingY > 0)
        return face->glyph->metrics.horiBearingY / units;
    return kBuiltInCapHeight;
}

} // namespace

Font::Font(FontLibrary& library, void* face, std::string file, std::string family, bool bold,
           bool italic)
    : m_library(library), m_face(face), m_file(std::move(file)), m_family(std::move(family)),
      m_bold(bold), m_italic(italic) {
    m_ascii.fill(-1.0f);
    if (m_face) {
        FT_Face f = Face(m_face);
        if (f->units_per_EM > 0)
            m_unitsPerEm = f->units_per_EM;
        double cap = CapHeightPerEm(f);
        m_emPerHeight = 1.0 / std::clamp(cap, 0.2, 2.0);
    }
}

Font::~Font() {
    if (m_face)
        FT_Done_Face(Face(m_face));
}

bool Font::hasGlyph(char32_t c) const {
    return m_face && FT_Get_Char_Index(Face(m_face), c) != 0;
}

double Font::glyphAdvance(unsigned glyph) const {
    if (!m_face)
        return kBuiltInAdvance;
    FT_Fixed advance = 0;
    if (FT_Get_Advance(Face(m_face), glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return 0.0;
    return static_cast<double>(advance) / m_unitsPerEm;
}

double Font::loadAdvance(char32_t c) {
    double advance;
    if (!m_face) {
        advance = kBuiltInAdvance;
    } else if (FT_UInt glyph = FT_Get_Char_Index(Face(m_face), c)) {
        advance = glyphAdvance(glyph);
    } else if (Font* other = m_library.fallbackFor(c); other && other != this) {
        advance = other->glyphAdvance(FT_Get_Char_Index(Face(other->m_face), c));
    } else {
        advance = glyphAdvance(0);
    }
    float stored = static_cast<float>(advance);
    if (c < m_ascii.size())
        m_ascii[c] = stored;
    else
        m_others.emplace(c, stored);
    // The value measured is the one stored, so that a first and a later measure agree.
    return stored;
}

FontLibrary& FontLibrary::instance() {
    static FontLibrary library;
    return library;
}

FontLibrary::FontLibrary() {
    FT_Library freetype = nullptr;
    if (FT_Init_FreeType(&freetype) == 0)
        m_freetype = freetype;
    m_config = FcInitLoadConfigAndFonts();
}

FontLibrary::~FontLibrary() {
    m_byRequest.clear();
    m_fallbacks.clear();
    m_byFile.clear(); // the faces go before the FreeType library that made them
    m_builtIn.reset();
    if (m_fallbackOrder)
        FcFontSetDestroy(static_cast<FcFontSet*>(m_fallbackOrder));
    if (m_freetype)
        FT_Done_FreeType(static_cast<FT_Library>(m_freetype));
    if (m_config)
        FcConfigDestroy(static_cast<FcConfig*>(m_config));
}

Font& FontLibrary::builtIn() {
    if (!m_builtIn)
        m_builtIn.reset(new Font(*this, nullptr, {}, "sans-serif", false, false));
    return *m_builtIn;
}

Font* FontLibrary::openMatch(void* patternPtr) {
    auto* pattern = static_cast<FcPattern*>(patternPtr);
    auto* config = static_cast<FcConfig*>(m_config);
    if (!config || !m_freetype)
        return nullptr;
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (!match)
        return nullptr;
    Font* font = openFound(match);
    FcPatternDestroy(match);
    return font;
}

Font* FontLibrary::openFound(void* foundPtr) {
    auto* found = static_cast<FcPattern*>(foundPtr);
    std::string file = PatternString(found, FC_FILE);
    if (file.empty())
        return nullptr;
    int index = PatternInt(found, FC_INDEX, 0);
    std::string key = file + "#" + std::to_string(index);
    if (auto it = m_byFile.find(key); it != m_byFile.end())
        return it->second.get();
    FT_Face face = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(m_freetype), file.c_str(), index, &face) != 0)
        return nullptr;
    bool bold = PatternInt(found, FC_WEIGHT, FC_WEIGHT_REGULAR) >= FC_WEIGHT_DEMIBOLD;
    bool italic = PatternInt(found, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN;
    std::unique_ptr<Font> opened(
        new Font(*this, face, file, PatternString(found, FC_FAMILY), bold, italic));
    Font* font = opened.get();
    m_byFile.emplace(key, std::move(opened));
    return font;
}

Font& FontLibrary::resolve(const MTextFontRequest& request) {
    std::string key = RequestKey(request);
    if (auto it = m_byRequest.find(key); it != m_byRequest.end())
        return *it->second;
    if (m_byRequest.size() >= kMaxCachedRequests)
        m_byRequest.clear();
    Font* font = nullptr;
    if (FcPattern* pattern = FcPatternCreate()) {
        const std::string& family =
            request.family.empty() ? std::string("sans-serif") : request.family;
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        // A family that is not installed matches the default font of the configuration,
        // which is a sans font; naming sans-serif after it makes that explicit.
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        font = openMatch(pattern);
        FcPatternDestroy(pattern);
    }
    if (!font)
        font = &builtIn();
    m_byRequest.emplace(key, font);
    return *font;
}

Font* FontLibrary::fallbackFor(char32_t c) {
    if (auto it = m_fallbacks.find(c); it != m_fallbacks.end())
        return it->second;
    auto* config = static_cast<FcConfig*>(m_config);
    if (!m_fallbackOrder && config && m_freetype) {
        // The installed fonts in the order a renderer tries them for the default sans font;
        // asked once, so that each new character costs a look at their character sets only.
        if (FcPattern* pattern = FcPatternCreate()) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
            FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            m_fallbackOrder = FcFontSort(config, pattern, FcTrue, nullptr, &result);
            FcPatternDestroy(pattern);
        }
    }
    Font* font = nullptr;
    if (auto* order = static_cast<FcFontSet*>(m_fallbackOrder)) {
        for (int i = 0; i < order->nfont && !font; ++i) {
            FcCharSet* chars = nullptr;
            if (FcPatternGetCharSet(order->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch &&
                FcCharSetHasChar(chars, c)) {
                font = openFound(order->fonts[i]);
                if (font && !font->hasGlyph(c))
                    font = nullptr;
            }
        }
    }
    // Hostile content can name every code point once; the answers stay bounded by that.
    if (m_fallbacks.size() < 65536)
        m_fallbacks.emplace(c, font);
    return font;
}

} // namespace cadhost::text
