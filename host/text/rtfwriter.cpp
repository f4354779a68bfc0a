#include "text/rtfwriter.h"

#include "text/codepages.h"
#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cadhost::text {
namespace {

// How the text of a font is spelled: the reader decodes \'hh bytes with the code page of the
// run's font, so a byte may be written only where that code page is 1252 (or where the font
// is a symbol font, whose bytes are its glyphs); everything else goes as \uN.
enum class Encoding : std::uint8_t { Ansi, Symbol, Unicode };

Encoding TextEncoding(const FontFace& face) {
    int codePage = CodePageForCharset(face.charset);
    if (codePage == kSymbolCodePage)
        return Encoding::Symbol;
    return codePage == 0 || codePage == 1252 ? Encoding::Ansi : Encoding::Unicode;
}

// A font's name is read in its charset's code page, except that a symbol font's name is
// spelled in ordinary letters of the document's code page.
Encoding NameEncoding(const FontFace& face) {
    return TextEncoding(face) == Encoding::Unicode ? Encoding::Unicode : Encoding::Ansi;
}

// The byte of a character in code page 1252, or -1 when the code page lacks it.
int Cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    if (c < 0x100)
        return -1; // C1 controls: 1252 spends those bytes on other characters
    // The bytes 0x80..0x9F hold punctuation and letters from all over the BMP: the decoder's
    // own table turned round, sorted by character for a binary search.
    struct Entry {
        char32_t c;
        std::uint8_t byte;
    };
    static const auto kHigh = [] {
        std::array<Entry, 32> high{};
        ByteDecoder decoder(1252);
        for (int b = 0; b < 32; ++b) {
            char32_t decoded = decoder.Decode(static_cast<std::uint8_t>(0x80 + b));
            // The five bytes 1252 leaves undefined decode to U+FFFD, which they do not spell.
            high[static_cast<std::size_t>(b)] = {decoded == kReplacementChar ? 0 : decoded,
                                                 static_cast<std::uint8_t>(0x80 + b)};
        }
        std::sort(high.begin(), high.end(),
                  [](const Entry& a, const Entry& b) { return a.c < b.c; });
        return high;
    }();
    auto found = std::lower_bound(kHigh.begin(), kHigh.end(), c,
                                  [](const Entry& e, char32_t value) { return e.c < value; });
    return found != kHigh.end() && found->c == c ? found->byte : -1;
}

constexpr char kHex[] = "0123456789abcdef";

// The bytes that text may hold as they are: printable ASCII but the three syntax characters.
constexpr auto kPlainByte = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[static_cast<std::size_t>(c)] = c != '\\' && c != '{' && c != '}';
    return plain;
}();

// The family words of the font table, by FontFace::pitchAndFamily >> 4.
constexpr std::string_view kFamilies[] = {"fnil",    "froman",  "fswiss",
                                          "fmodern", "fscript", "fdecor"};

std::uint32_t ColorKey(const Rgb& color) {
    return (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) | color.blue;
}

class Writer {
public:
    explicit Writer(const TextDocument& document) : document_(document) {}

    std::string Write();

private:
    void Prepare();
    void Header();
    void FontTable();
    void ColorTable();
    void Body();

    void ParagraphWords(const Paragraph& paragraph, int level);
    void CharWords(const CharFormat& format);
    void RowDefinition(const TableRow& row);
    void CloseRow();
    void EmptyRows();
    void NestedRowEnd(int level);

    void Text(std::string_view utf8, Encoding encoding);
    void FontName(std::string_view utf8, Encoding encoding);
    void Unicode(char32_t c);
    void Byte(std::uint8_t byte);

    // Control words.  A control word is followed by a space only when text comes next, where
    // the space ends the word and is not read as text.
    void Word(std::string_view name) {
        out_.push_back('\\');
        out_.append(name);
        delimit_ = true;
    }
    void Word(std::string_view name, int value) {
        Word(name);
        char digits[16];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out_.append(digits, end);
    }
    void Symbol(char c) {
        out_.push_back('\\');
        out_.push_back(c);
        delimit_ = false;
    }
    void Raw(std::string_view text) {
        out_.append(text);
        delimit_ = false;
    }
    void LineEnd() { Raw("\r\n"); }
    void BeforeText() {
        if (delimit_)
            out_.push_back(' ');
        delimit_ = false;
    }

    int FontIndex(int font) const {
        return font >= 0 && static_cast<std::size_t>(font) < fontCount_ ? font : 0;
    }

    const TextDocument& document_;
    std::string out_;
    bool delimit_ = false;

    std::size_t fontCount_ = 0;
    std::vector<Encoding> encodings_; // per font
    std::vector<Rgb> colors_;         // the colour table after its automatic entry 0
    std::unordered_map<std::uint32_t, int> colorIndex_;

    // What the reader holds at this point of the output.
    CharFormat char_;
    bool charKnown_ = false;
    ParagraphFormat para_;
    int paraLevel_ = 0;
    bool paraKnown_ = false;

    // Top-level rows: the last paragraph of each (-1 for a row without paragraphs), the next
    // row to close, whether its definition has been written, and whether its \row waits for
    // the paragraph after its last one.
    std::vector<long> lastOfRow_;
    std::size_t nextRow_ = 0;
    bool rowDefined_ = false;
    bool rowPending_ = false;
    // Cells closed so far in the open row of each nesting level.
    std::vector<int> nestedCells_;
};

std::string Writer::Write() {
    Prepare();
    Header();
    Body();
    out_.push_back('}');
    return std::move(out_);
}

// One pass over the paragraphs and runs (not their text): the colours that runs use, the
// last paragraph of each row, and a size for the output to grow into at once.
void Writer::Prepare() {
    fontCount_ = document_.fonts.size();
    encodings_.reserve(std::max<std::size_t>(fontCount_, 1));
    for (const auto& face : document_.fonts)
        encodings_.push_back(TextEncoding(face));
    if (encodings_.empty())
        encodings_.push_back(Encoding::Ansi);

    lastOfRow_.assign(document_.rows.size(), -1);
    std::optional<Rgb> lastColor;
    std::size_t size = 256 + 48 * fontCount_;
    const auto& paragraphs = document_.paragraphs;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& paragraph = paragraphs[i];
        size += 24 + 8 * paragraph.format.tabs.size();
        if (paragraph.tableLevel == 1 && paragraph.row >= 0 &&
            static_cast<std::size_t>(paragraph.row) < lastOfRow_.size())
            lastOfRow_[static_cast<std::size_t>(paragraph.row)] = static_cast<long>(i);
        for (const auto& run : paragraph.runs) {
            // Text outside ASCII grows by about a third as escapes; a little slack covers it.
            size += 16 + run.text.size() + run.text.size() / 8;
            // Runs of one colour follow each other: only a change of colour is looked up.
            if (run.format.hasColor && !(run.format.color == lastColor)) {
                lastColor = run.format.color;
                if (colorIndex_
                        .emplace(ColorKey(run.format.color), static_cast<int>(colors_.size()) + 1)
                        .second)
                    colors_.push_back(run.format.color);
            }
        }
    }
    for (const auto& row : document_.rows)
        size += 24 + 12 * row.cellRightEdges.size();
    out_.reserve(size);
}

void Writer::Header() {
    Raw("{");
    Word("rtf", 1);
    Word("ansi");
    Word("ansicpg", 1252);
    Word("deff", 0);
    FontTable();
    ColorTable();
    // The size of text that sets none, kept as the default character formatting.
    int halfPoints = std::clamp(document_.defaultHalfPoints, 1, 3276);
    Raw("{");
    Symbol('*');
    Word("defchp");
    Word("fs", halfPoints);
    Raw("}");
    LineEnd();
    Word("viewkind", 4);
    Word("uc", 1);
    char_.halfPoints = halfPoints;
}

void Writer::FontTable() {
    Raw("{");
    Word("fonttbl");
    auto entry = [&](int number, const FontFace& face) {
        Raw("{");
        Word("f", number);
        int family = (face.pitchAndFamily >> 4) & 0x0F;
        Word(family < static_cast<int>(std::size(kFamilies)) ? kFamilies[family] : kFamilies[0]);
        if (int pitch = face.pitchAndFamily & 0x03)
            Word("fprq", pitch);
        Word("fcharset", face.charset);
        FontName(face.name, NameEncoding(face));
        Raw(";}");
    };
    if (document_.fonts.empty())
        entry(0, DefaultFontFace());
    for (std::size_t i = 0; i < document_.fonts.size(); ++i)
        entry(static_cast<int>(i), document_.fonts[i]);
    Raw("}");
    LineEnd();
}

void Writer::ColorTable() {
    if (colors_.empty())
        return;
    // Entry 0 is empty: \cf0 is the automatic colour.
    Raw("{");
    Word("colortbl");
    Raw(" ;");
    for (const Rgb& color : colors_) {
        Word("red", color.red);
        Word("green", color.green);
        Word("blue", color.blue);
        Raw(";");
    }
    Raw("}");
    LineEnd();
}

void Writer::RowDefinition(const TableRow& row) {
    Word("trowd");
    if (row.left != 0)
        Word("trleft", row.left);
    for (int edge : row.cellRightEdges)
        Word("cellx", edge);
}

// Closes the next top-level row, then writes the rows without paragraphs that follow it.
void Writer::CloseRow() {
    if (!rowDefined_)
        RowDefinition(document_.rows[nextRow_]);
    Word("row");
    LineEnd();
    ++nextRow_;
    rowDefined_ = false;
    rowPending_ = false;
    // Word processors take the paragraph formatting (and the table level) of a new row from
    // its own words, not from the row before.
    paraKnown_ = false;
    EmptyRows();
}

// A row that no paragraph belongs to (a \row without cells) still counts: it is written
// where the reader will not take the paragraph before it as its last cell.
void Writer::EmptyRows() {
    while (nextRow_ < lastOfRow_.size() && lastOfRow_[nextRow_] < 0) {
        RowDefinition(document_.rows[nextRow_]);
        Word("row");
        LineEnd();
        ++nextRow_;
    }
}

// A nested row has no geometry in the model; word processors want one cell edge per cell,
// so it gets cells of an inch each.
void Writer::NestedRowEnd(int level) {
    auto at = static_cast<std::size_t>(level);
    Raw("{");
    Symbol('*');
    Word("nesttableprops");
    Word("trowd");
    for (int cell = 1; cell <= std::max(nestedCells_[at], 1); ++cell)
        Word("cellx", cell * 1440);
    Word("nestrow");
    Raw("}");
    LineEnd();
    nestedCells_[at] = 0;
    paraKnown_ = false;
}

void Writer::Body() {
    constexpr int kMaxLevel = 64; // the deepest nesting the reader keeps
    nestedCells_.assign(kMaxLevel + 1, 0);
    EmptyRows();
    const auto& paragraphs = document_.paragraphs;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& paragraph = paragraphs[i];
        int level = std::clamp(paragraph.tableLevel, 0, kMaxLevel);
        if (level >= 1 && !rowDefined_ && nextRow_ < document_.rows.size()) {
            RowDefinition(document_.rows[nextRow_]);
            rowDefined_ = true;
        }
        if (!paraKnown_ || level != paraLevel_ || !(paragraph.format == para_))
            ParagraphWords(paragraph, level);
        for (const Run& run : paragraph.runs) {
            CharWords(run.format);
            Text(run.text, encodings_[static_cast<std::size_t>(FontIndex(run.format.font))]);
        }
        std::fill(nestedCells_.begin() + level + 1, nestedCells_.end(), 0);
        bool lastOfRow = level == 1 && paragraph.row >= 0 &&
                         static_cast<std::size_t>(paragraph.row) == nextRow_ &&
                         lastOfRow_[nextRow_] == static_cast<long>(i);
        if (paragraph.end == ParagraphEnd::Paragraph || level == 0) {
            Word("par");
            LineEnd();
        } else if (level == 1) {
            Word("cell");
        } else {
            Word("nestcell");
            ++nestedCells_[static_cast<std::size_t>(level)];
            if (paragraph.end == ParagraphEnd::Row)
                NestedRowEnd(level);
        }
        // The reader ends a row on its last paragraph when that paragraph closes a cell or
        // the row; a row whose last cell holds a nested table or a paragraph outside the
        // table ends one paragraph later, so that its last cell stays as it was.
        if (rowPending_)
            CloseRow();
        else if (lastOfRow && paragraph.end == ParagraphEnd::Row)
            CloseRow();
        else if (lastOfRow)
            rowPending_ = true;
    }
    while (nextRow_ < document_.rows.size())
        CloseRow();
}

void Writer::ParagraphWords(const Paragraph& paragraph, int level) {
    const ParagraphFormat& format = paragraph.format;
    Word("pard");
    if (level >= 1)
        Word("intbl");
    if (level >= 2)
        Word("itap", level);
    if (format.firstIndent != 0)
        Word("fi", format.firstIndent);
    if (format.leftIndent != 0)
        Word("li", format.leftIndent);
    if (format.rightIndent != 0)
        Word("ri", format.rightIndent);
    if (format.spaceBefore != 0)
        Word("sb", format.spaceBefore);
    if (format.spaceAfter != 0)
        Word("sa", format.spaceAfter);
    switch (format.alignment) {
    case Alignment::Left:
        break;
    case Alignment::Center:
        Word("qc");
        break;
    case Alignment::Right:
        Word("qr");
        break;
    case Alignment::Justified:
        Word("qj");
        break;
    }
    for (const TabStop& tab : format.tabs) {
        switch (tab.alignment) {
        case TabAlignment::Left:
            break;
        case TabAlignment::Center:
            Word("tqc");
            break;
        case TabAlignment::Right:
            Word("tqr");
            break;
        case TabAlignment::Decimal:
            Word("tqdec");
            break;
        }
        Word("tx", tab.position);
    }
    para_ = format;
    paraLevel_ = level;
    paraKnown_ = true;
}

void Writer::CharWords(const CharFormat& format) {
    // The first run names its font and size, as the control does; the rest starts from the
    // reader's defaults and is written where it changes.
    auto toggle = [&](bool now, bool before, std::string_view on, std::string_view off) {
        if (now != before)
            Word(now ? on : off);
    };
    int font = FontIndex(format.font);
    if (!charKnown_ || font != char_.font)
        Word("f", font);
    if (!charKnown_ || format.halfPoints != char_.halfPoints)
        Word("fs", std::clamp(format.halfPoints, 1, 3276));
    toggle(format.bold, char_.bold, "b", "b0");
    toggle(format.italic, char_.italic, "i", "i0");
    toggle(format.underline, char_.underline, "ul", "ulnone");
    toggle(format.strike, char_.strike, "strike", "strike0");
    toggle(format.hidden, char_.hidden, "v", "v0");
    if (format.hasColor != char_.hasColor || (format.hasColor && !(format.color == char_.color)))
        Word("cf", format.hasColor ? colorIndex_.at(ColorKey(format.color)) : 0);
    if (format.vertical != char_.vertical) {
        switch (format.vertical) {
        case VerticalPosition::Baseline:
            Word("nosupersub");
            break;
        case VerticalPosition::Superscript:
            Word("super");
            break;
        case VerticalPosition::Subscript:
            Word("sub");
            break;
        }
    }
    char_ = format;
    char_.font = font;
    charKnown_ = true;
}

void Writer::Unicode(char32_t c) {
    if (c > 0xFFFF) {
        // Beyond the BMP: a surrogate pair, each half a signed 16-bit \u of its own.
        char32_t v = c - 0x10000;
        Unicode(0xD800 + (v >> 10));
        Unicode(0xDC00 + (v & 0x3FF));
        return;
    }
    Word("u", c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
    Raw("?"); // the character a reader that does not know \u shows, skipped by those that do
}

void Writer::Byte(std::uint8_t byte) {
    char escape[4] = {'\\', '\'', kHex[byte >> 4], kHex[byte & 0x0F]};
    Raw(std::string_view(escape, 4));
}

void Writer::Text(std::string_view text, Encoding encoding) {
    std::size_t pos = 0;
    const std::size_t size = text.size();
    while (pos < size) {
        if (encoding != Encoding::Symbol) {
            // Printable ASCII other than the three syntax characters goes as it is.
            std::size_t start = pos;
            while (pos < size && kPlainByte[static_cast<unsigned char>(text[pos])])
                ++pos;
            if (pos > start) {
                BeforeText();
                out_.append(text.data() + start, pos - start);
            }
            if (pos >= size)
                break;
        }
        char32_t c = NextUtf8(text, pos);
        switch (c) {
        case '\t':
            Word("tab");
            continue;
        case '\n':
            Word("line");
            continue;
        case 0x00A0:
            Symbol('~');
            continue;
        case 0x2011:
            Symbol('_');
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue; // no other control character is document text
        if (encoding == Encoding::Symbol) {
            // A symbol font's bytes are its glyphs, read back at U+F000 + byte.
            if (c >= 0xF020 && c <= 0xF0FF) {
                auto byte = static_cast<std::uint8_t>(c - 0xF000);
                if (byte < 0x7F && byte != '\\' && byte != '{' && byte != '}') {
                    BeforeText();
                    out_.push_back(static_cast<char>(byte));
                } else {
                    Byte(byte);
                }
            } else {
                Unicode(c);
            }
            continue;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Symbol(static_cast<char>(c));
            continue;
        default:
            break;
        }
        int byte = encoding == Encoding::Ansi ? Cp1252Byte(c) : -1;
        if (byte >= 0x80)
            Byte(static_cast<std::uint8_t>(byte));
        else
            Unicode(c);
    }
}

void Writer::FontName(std::string_view name, Encoding encoding) {
    BeforeText();
    std::size_t pos = 0;
    while (pos < name.size()) {
        char32_t c = NextUtf8(name, pos);
        // ';' ends the entry and the syntax characters have no place in a family name:
        // the reader drops them all.
        if (c < 0x20 || c == ';' || c == '\\' || c == '{' || c == '}')
            continue;
        if (c < 0x7F) {
            BeforeText();
            out_.push_back(static_cast<char>(c));
            continue;
        }
        int byte = encoding == Encoding::Ansi ? Cp1252Byte(c) : -1;
        if (byte >= 0x80)
            Byte(static_cast<std::uint8_t>(byte));
        else
            Unicode(c);
    }
}

} // namespace

std::string WriteRtf(const TextDocument& document) {
    Writer writer(document);
    return writer.Write();
}

} // namespace cadhost::text
