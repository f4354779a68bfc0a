#include "text/mtextwriter.h"

#include "text/acicolor.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace cadhost::text {
namespace {

// Superscript and subscript text is written this much smaller than its own size, the
// proportion MText uses for stacked text.
constexpr double kScriptScale = 0.7;

// A number for a code: at most four decimals, no trailing zeros, never "-0".
std::string FormatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text = buffer;
    if (auto dot = text.find('.'); dot != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text;
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
    std::string Length(int twips) const { return FormatNumber(twips / bodyTwips_); }

    void FontCode(const FontKey& key);
    Decoration DecorationOf(const CharFormat& format) const;
    void DecorationCodes(const Decoration& decoration);
    ParagraphKey KeyOf(const Paragraph& paragraph) const;
    void ParagraphCode(const ParagraphKey& key);
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
};

void Writer::FontCode(const FontKey& key) {
    const FontFace& face = Face(key.font);
    out_ += "\\f";
    out_ += face.name;
    out_ += key.bold ? "|b1" : "|b0";
    out_ += key.italic ? "|i1" : "|i0";
    out_ += "|c" + std::to_string(face.charset);
    out_ += "|p" + std::to_string(face.pitchAndFamily);
    out_ += ';';
}

Decoration Writer::DecorationOf(const CharFormat& format) const {
    Decoration decoration;
    double scale = format.vertical == VerticalPosition::Baseline ? 1.0 : kScriptScale;
    decoration.height = FormatNumber(format.halfPoints * scale / body_.halfPoints);
    // Black is what a word processor shows for automatic text too; in a drawing the
    // entity's own colour is the equivalent.
    if (format.hasColor && !(format.color == Rgb{0, 0, 0}))
        decoration.aci = NearestAci(format.color);
    decoration.underline = format.underline;
    decoration.strike = format.strike;
    decoration.superscript = format.vertical == VerticalPosition::Superscript;
    return decoration;
}

void Writer::DecorationCodes(const Decoration& decoration) {
    if (decoration.height != "1")
        out_ += "\\H" + decoration.height + "x;";
    if (decoration.aci != 0)
        out_ += "\\C" + std::to_string(decoration.aci) + ";";
    if (decoration.underline)
        out_ += "\\L";
    if (decoration.strike)
        out_ += "\\K";
    if (decoration.superscript)
        out_ += "\\A2;";
}

ParagraphKey Writer::KeyOf(const Paragraph& paragraph) const {
    ParagraphKey key;
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
        key.tabs = paragraph.format.tabs;
    }
    return key;
}

void Writer::ParagraphCode(const ParagraphKey& key) {
    if (key == paragraph_)
        return;
    out_ += "\\pi" + Length(key.first) + ",l" + Length(key.left);
    if (key.right != 0 || paragraph_.right != 0)
        out_ += ",r" + Length(key.right);
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
            out_ += Length(key.tabs[i].position);
        }
    }
    out_ += ';';
    paragraph_ = key;
}

void Writer::Text(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
        case '\\':
            out_ += "\\\\";
            continue;
        case '{':
            out_ += "\\{";
            continue;
        case '}':
            out_ += "\\}";
            continue;
        case '\xC2':
            if (i + 1 < text.size()) {
                if (text[i + 1] == '\xA0') { // no-break space
                    out_ += "\\~";
                    ++i;
                    continue;
                }
                if (text[i + 1] == '\xAD') { // soft hyphen: MText has no optional break
                    ++i;
                    continue;
                }
            }
            break;
        default:
            break;
        }
        out_ += c;
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
        if (lineStart)
            ParagraphCode(KeyOf(paragraph));
        Runs(paragraph);
    }
    out_ += '}';
    return std::move(out_);
}

} // namespace

BodyText FindBodyText(const TextDocument& document) {
    std::map<int, std::size_t> bySize, byFont;
    std::vector<int> sizeOrder, fontOrder;
    for (const auto& paragraph : document.paragraphs)
        for (const auto& run : paragraph.runs) {
            if (run.format.hidden)
                continue;
            std::size_t chars = 0;
            for (char c : run.text)
                if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                    ++chars;
            if (chars == 0)
                continue;
            if (bySize[run.format.halfPoints] == 0)
                sizeOrder.push_back(run.format.halfPoints);
            bySize[run.format.halfPoints] += chars;
            if (byFont[run.format.font] == 0)
                fontOrder.push_back(run.format.font);
            byFont[run.format.font] += chars;
        }
    BodyText body;
    body.halfPoints = document.defaultHalfPoints > 0 ? document.defaultHalfPoints : 24;
    // The most common size and font; of equals, the one met first.
    std::size_t best = 0;
    for (int size : sizeOrder)
        if (bySize[size] > best) {
            best = bySize[size];
            body.halfPoints = size;
        }
    best = 0;
    for (int font : fontOrder)
        if (byFont[font] > best) {
            best = byFont[font];
            body.font = font;
        }
    return body;
}

std::string WriteMText(const TextDocument& document) {
    Writer writer(document);
    return writer.Write();
}

} // namespace cadhost::text
