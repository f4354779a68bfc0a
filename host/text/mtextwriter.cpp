#include "text/mtextwriter.h"

#include "text/acicolor.h"
#include "text/bytescan.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cadhost::text {
namespace {

// Superscript and subscript text is written this much smaller than its own size, the
// proportion MText uses for stacked text.
constexpr double kScriptScale = 0.7;

// A number for a code: at most four decimals, no trailing zeros, never "-0".
std::string FormatNumber(double value) {
    char buffer[64];
    // to_chars with a precision writes what printf's "%.4f" writes, without its cost; a number
    // too long for the buffer is cut short as snprintf cuts it.
    std::string_view text;
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    if (error == std::errc()) {
        text = std::string_view(buffer, static_cast<std::size_t>(end - buffer));
    } else {
        std::snprintf(buffer, sizeof buffer, "%.4f", value);
        text = buffer;
    }
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0')
            text.remove_suffix(1);
        if (text.back() == '.')
            text.remove_suffix(1);
    }
    if (text == "-0")
        return "0";
    return std::string(text);
}

void AppendNumber(std::string& out, int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The characters of UTF-8 text: its bytes less the continuation bytes, many bytes at a time.
std::size_t CountChars(std::string_view text) {
    std::size_t continuations = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // As signed bytes the continuation bytes 0x80..0xBF are those below -64.  Each lane
    // counts up to 255 of them before the lanes are added up.
    const __m128i limit = _mm_set1_epi8(-64);
    while (i + 16 <= text.size()) {
        __m128i counts = _mm_setzero_si128();
        for (int round = 0; round < 255 && i + 16 <= text.size(); ++round, i += 16) {
            __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            counts = _mm_sub_epi8(counts, _mm_cmplt_epi8(chunk, limit));
        }
        __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        continuations += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                         static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        // A continuation byte is 10xxxxxx: its top bit set and the bit below it clear.  The
        // marks, moved to the bottom of each byte, are added up by the multiplication into the
        // top byte.
        std::uint64_t marks = (word & ~(word << 1) & 0x8080808080808080ull) >> 7;
        continuations += static_cast<std::size_t>((marks * 0x0101010101010101ull) >> 56);
    }
    for (; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++continuations;
    return text.size() - continuations;
}

struct FontKey {
    int font = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontKey&) const = default;
};

// What a brace group sets beyond the font: everything that has no code to switch it back.
struct Decoration {
    std::string height; // relative to the body size, "1" for body text
    int aci = 0;        // 0: the entity's own colour
    bool underline = false;
    bool strike = false;
    bool superscript = false;
    bool operator==(const Decoration&) const = default;
    bool Plain() const {
        return height == "1" && aci == 0 && !underline && !strike && !superscript;
    }
};

struct ParagraphKey {
    int first = 0, left = 0, right = 0;
    Alignment alignment = Alignment::Left;
    std::vector<TabStop> tabs;
    bool operator==(const ParagraphKey&) const = default;
};

class Writer {
public:
    explicit Writer(const TextDocument& document)
        : document_(document), body_(FindBodyText(document)), bodyTwips_(body_.halfPoints * 10.0) {}

    std::string Write();

private:
    const FontFace& Face(int index) const {
        static const FontFace fallback = DefaultFontFace();
        return index >= 0 && static_cast<std::size_t>(index) < document_.fonts.size()
                   ? document_.fonts[static_cast<std::size_t>(index)]
                   : fallback;
    }
    void Length(int twips);

    void FontCode(const FontKey& key);
    void WriteFontCode(std::string& out, const FontKey& key) const;
    Decoration DecorationOf(const CharFormat& format);
    int Aci(Rgb color);
    void DecorationCodes(const Decoration& decoration);
    void KeyOf(const Paragraph& paragraph, ParagraphKey& key) const;
    void ParagraphCode(ParagraphKey& key);
    void Text(std::string_view text);
    void Runs(const Paragraph& paragraph);
    void CloseGroup();

    const TextDocument& document_;
    BodyText body_;
    double bodyTwips_;
    std::string out_;
    FontKey font_;      // the font at the top level of the content
    FontKey groupFont_; // the font inside the open group
    bool groupOpen_ = false;
    Decoration group_;
    ParagraphKey paragraph_;
    ParagraphKey nextParagraph_;

    // A document has few distinct sizes, colours, fonts and lengths, met again and again:
    // each is formatted once.
    std::unordered_map<int, std::string> heights_; // by half-points, times two, plus 1 if script
    std::unordered_map<std::uint32_t, int> acis_;  // by RGB
    std::unordered_map<int, std::string> lengths_; // by twips
    std::vector<std::string> fontCodes_;           // by font index, times four, plus style
};

void Writer::Length(int twips) {
    auto found = lengths_.find(twips);
    if (found == lengths_.end())
        found = lengths_.emplace(twips, FormatNumber(twips / bodyTwips_)).first;
    out_ += found->second;
}

void Writer::FontCode(const FontKey& key) {
    if (key.font < 0 || static_cast<std::size_t>(key.font) >= document_.fonts.size()) {
        WriteFontCode(out_, key);
        return;
    }
    std::size_t index =
        static_cast<std::size_t>(key.font) * 4 + (key.bold ? 2 : 0) + (key.italic ? 1 : 0);
    if (fontCodes_.empty())
        fontCodes_.resize(document_.fonts.size() * 4);
    std::string& code = fontCodes_[index];
    if (code.empty())
        WriteFontCode(code, key);
    out_ += code;
}

void Writer::WriteFontCode(std::string& out, const FontKey& key) const {
    const FontFace& face = Face(key.font);
    out += "\\f";
    out += face.name;
    out += key.bold ? "|b1" : "|b0";
    out += key.italic ? "|i1" : "|i0";
    out += "|c";
    AppendNumber(out, face.charset);
    out += "|p";
    AppendNumber(out, face.pitchAndFamily);
    out += ';';
}

int Writer::Aci(Rgb color) {
    std::uint32_t key = (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) |
                        std::uint32_t{color.blue};
    auto found = acis_.find(key);
    if (found == acis_.end())
        found = acis_.emplace(key, NearestAci(color)).first;
    return found->second;
}

Decoration Writer::DecorationOf(const CharFormat& format) {
    Decoration decoration;
    bool script = format.vertical != VerticalPosition::Baseline;
    // Half-points beyond this have no key of their own; they are formatted each time.
    constexpr int kMaxKeyedHalfPoints = 1 << 24;
    if (format.halfPoints >= 0 && format.halfPoints < kMaxKeyedHalfPoints) {
        int key = format.halfPoints * 2 + (script ? 1 : 0);
        auto found = heights_.find(key);
        if (found == heights_.end())
            found =
                heights_
                    .emplace(key, FormatNumber(format.halfPoints * (script ? kScriptScale : 1.0) /
                                               body_.halfPoints))
                    .first;
        decoration.height = found->second;
    } else {
        decoration.height =
            FormatNumber(format.halfPoints * (script ? kScriptScale : 1.0) / body_.halfPoints);
    }
    // Black is what a word processor shows for automatic text too; in a drawing the
    // entity's own colour is the equivalent.
    if (format.hasColor && !(format.color == Rgb{0, 0, 0}))
        decoration.aci = Aci(format.color);
    decoration.underline = format.underline;
    decoration.strike = format.strike;
    decoration.superscript = format.vertical == VerticalPosition::Superscript;
    return decoration;
}

void Writer::DecorationCodes(const Decoration& decoration) {
    if (decoration.height != "1") {
        out_ += "\\H";
        out_ += decoration.height;
        out_ += "x;";
    }
    if (decoration.aci != 0) {
        out_ += "\\C";
        AppendNumber(out_, decoration.aci);
        out_ += ';';
    }
    if (decoration.underline)
        out_ += "\\L";
    if (decoration.strike)
        out_ += "\\K";
    if (decoration.superscript)
        out_ += "\\A2;";
}

// The key of a paragraph, in `key` (whose tab list's storage is used again).
void Writer::KeyOf(const Paragraph& paragraph, ParagraphKey& key) const {
    key.tabs.clear();
    key.first = paragraph.format.firstIndent;
    key.left = paragraph.format.leftIndent;
    key.right = paragraph.format.rightIndent;
    key.alignment = paragraph.format.alignment;
    if (paragraph.row >= 0 && static_cast<std::size_t>(paragraph.row) < document_.rows.size()) {
        // A table row is one line with a tab between cells: the cells' left edges become
        // the tab stops, so that the columns line up as in the table.
        const TableRow& row = document_.rows[static_cast<std::size_t>(paragraph.row)];
        int previous = 0;
        for (std::size_t i = 0; i + 1 < row.cellRightEdges.size(); ++i) {
            int position = row.cellRightEdges[i] - row.left;
            if (position > previous) {
                key.tabs.push_back(TabStop{position, TabAlignment::Left});
                previous = position;
            }
        }
    } else {
        key.tabs.assign(paragraph.format.tabs.begin(), paragraph.format.tabs.end());
    }
}

// Writes the code of a paragraph whose key differs from the last one written; `key` then
// becomes the last one, and `key` takes the old one's storage.
void Writer::ParagraphCode(ParagraphKey& key) {
    if (key == paragraph_)
        return;
    out_ += "\\pi";
    Length(key.first);
    out_ += ",l";
    Length(key.left);
    if (key.right != 0 || paragraph_.right != 0) {
        out_ += ",r";
        Length(key.right);
    }
    if (key.alignment != Alignment::Left || paragraph_.alignment != Alignment::Left) {
        static const char kLetters[] = {'l', 'c', 'r', 'j'};
        out_ += ",q";
        out_ += kLetters[static_cast<int>(key.alignment)];
    }
    // The tab list goes last: readers take everything after "t" as tab stops.  An empty list
    // clears the stops of the paragraphs before.
    if (!key.tabs.empty() || !paragraph_.tabs.empty()) {
        out_ += ",t";
        for (std::size_t i = 0; i < key.tabs.size(); ++i) {
            if (i > 0)
                out_ += ',';
            switch (key.tabs[i].alignment) {
            case TabAlignment::Center:
                out_ += 'c';
                break;
            case TabAlignment::Right:
            case TabAlignment::Decimal:
                out_ += 'r';
                break;
            case TabAlignment::Left:
                break;
            }
            Length(key.tabs[i].position);
        }
    }
    out_ += ';';
    std::swap(paragraph_, key);
}

void Writer::Text(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // The bytes up to the next one that needs a code go out as they are.
        std::size_t special = FindAnyOf<'\\', '{', '}', '\xC2'>(text, i);
        out_.append(text.data() + i, special - i);
        i = special;
        if (i >= text.size())
            break;
        char c = text[i];
        switch (c) {
        case '\\':
            out_ += "\\\\";
            ++i;
            continue;
        case '{':
            out_ += "\\{";
            ++i;
            continue;
        case '}':
            out_ += "\\}";
            ++i;
            continue;
        default: // 0xC2, the lead byte of U+0080..U+00BF
            if (i + 1 < text.size()) {
                if (text[i + 1] == '\xA0') { // no-break space
                    out_ += "\\~";
                    i += 2;
                    continue;
                }
                if (text[i + 1] == '\xAD') { // soft hyphen: MText has no optional break
                    i += 2;
                    continue;
                }
            }
            break;
        }
        out_ += c;
        ++i;
    }
}

void Writer::CloseGroup() {
    if (groupOpen_) {
        out_ += '}';
        groupOpen_ = false;
    }
}

void Writer::Runs(const Paragraph& paragraph) {
    for (const Run& run : paragraph.runs) {
        if (run.format.hidden)
            continue;
        FontKey key{run.format.font, run.format.bold, run.format.italic};
        Decoration decoration = DecorationOf(run.format);
        std::string_view text = run.text;
        while (!text.empty()) {
            auto lineBreak = text.find('\n');
            std::string_view piece = text.substr(0, lineBreak);
            if (!piece.empty()) {
                if (groupOpen_ && !(decoration == group_))
                    CloseGroup();
                if (decoration.Plain()) {
                    if (!(key == font_)) {
                        FontCode(key);
                        font_ = key;
                    }
                } else if (!groupOpen_) {
                    // The group starts with its font code, so that the piece the module
                    // cuts at that code carries the whole formatting of the group.
                    out_ += '{';
                    FontCode(key);
                    DecorationCodes(decoration);
                    groupOpen_ = true;
                    group_ = decoration;
                    groupFont_ = key;
                } else if (!(key == groupFont_)) {
                    FontCode(key);
                    groupFont_ = key;
                }
                Text(piece);
            }
            if (lineBreak == std::string_view::npos)
                break;
            // Line breaks stay at the top level, like paragraph breaks.
            CloseGroup();
            out_ += "\\P";
            text.remove_prefix(lineBreak + 1);
        }
    }
    CloseGroup();
}

std::string Writer::Write() {
    const auto& paragraphs = document_.paragraphs;
    std::size_t count = paragraphs.size();
    auto hasText = [](const Paragraph& p) {
        for (const auto& run : p.runs)
            if (!run.text.empty() && !run.format.hidden)
                return true;
        return false;
    };
    while (count > 0 && !hasText(paragraphs[count - 1]))
        --count;

    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        for (const auto& run : paragraphs[i].runs)
            textBytes += run.text.size();
    // The text with a little room for the codes; the string grows if that is too little.
    out_.reserve(textBytes + textBytes / 8 + 64);
    out_ = "{";
    font_ = FontKey{body_.font, false, false};
    FontCode(font_);
    out_ += "\\H1x;";
    for (std::size_t i = 0; i < count; ++i) {
        const Paragraph& paragraph = paragraphs[i];
        bool lineStart = true;
        if (i > 0) {
            lineStart = paragraphs[i - 1].end != ParagraphEnd::Cell;
            out_ += lineStart ? "\\P" : "\t";
        }
        if (lineStart) {
            KeyOf(paragraph, nextParagraph_);
            ParagraphCode(nextParagraph_);
        }
        Runs(paragraph);
    }
    out_ += '}';
    return std::move(out_);
}

} // namespace

namespace {

// Characters counted by a key (a size or a font), with the keys in the order first met.
class Tally {
public:
    void Add(int key, std::size_t chars) {
        if (!(last_ < counts_.size() && counts_[last_].first == key)) {
            auto [found, added] = index_.emplace(key, counts_.size());
            if (added)
                counts_.emplace_back(key, 0);
            last_ = found->second;
        }
        counts_[last_].second += chars;
    }
    // The key with the most characters; of equals, the one met first.
    void Most(int& key) const {
        std::size_t best = 0;
        for (const auto& [candidate, chars] : counts_)
            if (chars > best) {
                best = chars;
                key = candidate;
            }
    }

private:
    std::vector<std::pair<int, std::size_t>> counts_;
    std::unordered_map<int, std::size_t> index_;
    std::size_t last_ = 0;
};

} // namespace

BodyText FindBodyText(const TextDocument& document) {
    Tally bySize, byFont;
    for (const auto& paragraph : document.paragraphs)
        for (const auto& run : paragraph.runs) {
            if (run.format.hidden)
                continue;
            std::size_t chars = CountChars(run.text);
            if (chars == 0)
                continue;
            bySize.Add(run.format.halfPoints, chars);
            byFont.Add(run.format.font, chars);
        }
    BodyText body;
    body.halfPoints = document.defaultHalfPoints > 0 ? document.defaultHalfPoints : 24;
    bySize.Most(body.halfPoints);
    byFont.Most(body.font);
    return body;
}

std::string WriteMText(const TextDocument& document) {
    Writer writer(document);
    return writer.Write();
}

} // namespace cadhost::text
