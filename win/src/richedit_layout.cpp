#include "richedit_layout.h"

#include "text/utf8.h"

#include <algorithm>
#include <cstring>

namespace win::richedit {

using cadhost::text::Alignment;
using cadhost::text::FontFace;
using cadhost::text::Paragraph;
using cadhost::text::Run;
using cadhost::text::VerticalPosition;

namespace {

// Twips to pixels at 96 dots per inch.
int Pixels(int twips) {
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

// The distance between the default tab stops: half an inch.
constexpr int kDefaultTab = 48;

// Text of symbol fonts is kept at U+F000 plus its code; without the symbol font it is drawn
// as the code's own character.
char32_t Shown(char32_t c) {
    if (c >= 0xF020 && c <= 0xF0FF)
        return c - 0xF000;
    if (c == 0x00A0)
        return U' ';
    return c;
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

// One character of a paragraph as the layout places it.
struct Atom {
    char32_t c = 0;
    int font = 0;
    COLORREF color = 0;
    bool automaticColor = true;
    int rise = 0;
    int advance = 0; // tabs get theirs where they stand
};

bool SameLook(const Atom& a, const Atom& b) {
    return a.font == b.font && a.color == b.color && a.automaticColor == b.automaticColor &&
           a.rise == b.rise;
}

} // namespace

Layout::Layout(const TextDocument& document, HDC measuring, int width, bool wrap)
    : m_width(std::max(1, width)) {
    CharFormat mark;
    mark.halfPoints = document.defaultHalfPoints;
    long start = 0;
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        LayOutParagraph(document, p, start, measuring, wrap, mark);
        start += ParagraphLength(document.paragraphs[p]) + 1;
    }
    if (m_lines.empty()) {
        // An empty control still has a line for its caret.
        int font = FontFor(document, mark, measuring);
        const TEXTMETRICA& tm = m_fonts[static_cast<std::size_t>(font)].metrics;
        Line line;
        line.height = tm.tmHeight;
        line.ascent = tm.tmAscent;
        line.endsParagraph = true;
        line.edges = {0};
        m_lines.push_back(line);
        m_height = line.height;
    }
}

Layout::~Layout() {
    for (FontEntry& f : m_fonts)
        DeleteObject(f.handle);
}

int Layout::FontFor(const TextDocument& document, const CharFormat& format, HDC measuring) {
    CharFormat key = format;
    key.color = {};
    key.hasColor = false;
    key.hidden = false;
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].key == key)
            return static_cast<int>(i);
    FontFace face =
        format.font >= 0 && static_cast<std::size_t>(format.font) < document.fonts.size()
            ? document.fonts[static_cast<std::size_t>(format.font)]
            : cadhost::text::DefaultFontFace();
    // Half points to pixels at 96 dots per inch; raised and lowered text is two thirds the
    // size.
    int halfPoints = std::max(1, format.halfPoints);
    if (format.vertical != VerticalPosition::Baseline)
        halfPoints = std::max(1, halfPoints * 2 / 3);
    int height = -std::max(1, (halfPoints * 2 + 1) / 3);
    FontEntry entry;
    entry.face = face.name;
    entry.height = height;
    entry.key = key;
    entry.handle =
        CreateFontA(height, 0, 0, 0, format.bold ? FW_BOLD : FW_NORMAL, format.italic ? 1 : 0,
                    format.underline ? 1 : 0, format.strike ? 1 : 0,
                    static_cast<DWORD>(face.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, static_cast<DWORD>(face.pitchAndFamily), face.name.c_str());
    HGDIOBJ old = SelectObject(measuring, entry.handle);
    GetTextMetricsA(measuring, &entry.metrics);
    SelectObject(measuring, old);
    entry.asciiAdvances.assign(128, -1);
    m_fonts.push_back(std::move(entry));
    return static_cast<int>(m_fonts.size() - 1);
}

int Layout::Advance(int font, char32_t c, HDC measuring) {
    FontEntry& f = m_fonts[static_cast<std::size_t>(font)];
    if (c < 128 && f.asciiAdvances[c] >= 0)
        return f.asciiAdvances[c];
    std::string utf8;
    cadhost::text::AppendUtf8(utf8, c);
    HGDIOBJ old = SelectObject(measuring, f.handle);
    SIZE size{};
    GetTextExtentPoint32A(measuring, utf8.c_str(), static_cast<int>(utf8.size()), &size);
    SelectObject(measuring, old);
    if (c < 128)
        f.asciiAdvances[c] = size.cx;
    return size.cx;
}

void Layout::LayOutParagraph(const TextDocument& document, std::size_t index, long start,
                             HDC measuring, bool wrap, CharFormat& mark) {
    const Paragraph& paragraph = document.paragraphs[index];
    std::vector<Atom> atoms;
    for (const Run& run : paragraph.runs) {
        if (run.format.hidden)
            continue;
        Atom atom;
        atom.font = FontFor(document, run.format, measuring);
        atom.automaticColor = !run.format.hasColor;
        atom.color = RGB(run.format.color.red, run.format.color.green, run.format.color.blue);
        const TEXTMETRICA& tm = m_fonts[static_cast<std::size_t>(atom.font)].metrics;
        if (run.format.vertical == VerticalPosition::Superscript)
            atom.rise = tm.tmAscent / 2;
        else if (run.format.vertical == VerticalPosition::Subscript)
            atom.rise = -tm.tmDescent;
        std::size_t pos = 0;
        while (pos < run.text.size()) {
            atom.c = cadhost::text::NextUtf8(run.text, pos);
            atom.advance = atom.c == U'\t' || atom.c == U'\n'
                               ? 0
                               : Advance(atom.font, Shown(atom.c), measuring);
            atoms.push_back(atom);
        }
        if (!run.text.empty())
            mark = run.format;
    }
    int markFont = FontFor(document, mark, measuring);
    const auto& format = paragraph.format;
    const int left = Pixels(format.leftIndent);
    const int firstLeft = std::max(0, left + Pixels(format.firstIndent));
    const int right = std::max(left + 1, m_width - Pixels(format.rightIndent));
    auto nextTab = [&](int x) {
        int next = (x / kDefaultTab + 1) * kDefaultTab;
        for (const auto& stop : format.tabs) {
            int at = Pixels(stop.position);
            if (at > x) {
                next = at;
                break;
            }
        }
        // A hanging indent is a tab stop of its own: the text after the number lines up with
        // the lines below it.
        if (format.firstIndent < 0 && left > x)
            next = std::min(next, left);
        return next;
    };

    m_height += Pixels(format.spaceBefore);
    std::size_t i = 0;
    bool firstLine = true;
    do {
        const int lineLeft = firstLine ? firstLeft : left;
        std::vector<int> xs{lineLeft};
        std::size_t j = i;
        std::size_t lastBreak = i; // after the blanks that end a word
        int x = lineLeft;
        bool forced = false;
        while (j < atoms.size()) {
            const Atom& a = atoms[j];
            if (a.c == U'\n') {
                xs.push_back(x);
                ++j;
                forced = true;
                break;
            }
            int advance = a.c == U'\t' ? nextTab(x) - x : a.advance;
            if (wrap && !IsBlank(a.c) && x + advance > right && j > i) {
                if (lastBreak > i) {
                    xs.resize(lastBreak - i + 1);
                    j = lastBreak;
                }
                break;
            }
            x += advance;
            xs.push_back(x);
            ++j;
            if (IsBlank(a.c) && (j == atoms.size() || !IsBlank(atoms[j].c)))
                lastBreak = j;
        }
        const bool last = j >= atoms.size() && !forced;

        Line line;
        line.first = start + static_cast<long>(i);
        line.end = start + static_cast<long>(j);
        line.endsParagraph = last;
        // Alignment moves the line's text (without the blanks that end it) within the room.
        std::size_t content = j;
        while (content > i && (IsBlank(atoms[content - 1].c) || atoms[content - 1].c == U'\n'))
            --content;
        int used = xs[content - i] - lineLeft;
        int room = right - lineLeft;
        int shift = 0;
        if (format.alignment == Alignment::Right)
            shift = std::max(0, room - used);
        else if (format.alignment == Alignment::Center)
            shift = std::max(0, room - used) / 2;
        std::vector<int> extra(xs.size(), 0);
        if (format.alignment == Alignment::Justified && !last && !forced && wrap) {
            int gaps = 0;
            for (std::size_t k = i; k < content; ++k)
                gaps += atoms[k].c == U' ' ? 1 : 0;
            int spare = std::max(0, room - used);
            int given = 0, seen = 0;
            for (std::size_t k = i; k < j; ++k) {
                if (k < content && atoms[k].c == U' ' && gaps > 0) {
                    ++seen;
                    given = spare * seen / gaps;
                }
                extra[k - i + 1] = given;
            }
        }
        for (std::size_t k = 0; k < xs.size(); ++k)
            line.edges.push_back(xs[k] + shift + extra[k]);

        int ascent = 0, descent = 0;
        for (std::size_t k = i; k < j; ++k) {
            const Atom& a = atoms[k];
            const TEXTMETRICA& tm = m_fonts[static_cast<std::size_t>(a.font)].metrics;
            ascent = std::max<int>(ascent, tm.tmAscent + std::max(0, a.rise));
            descent = std::max<int>(descent, tm.tmDescent - std::min(0, a.rise));
            if (a.c == U'\t' || a.c == U'\n')
                continue;
            std::string shown;
            cadhost::text::AppendUtf8(shown, Shown(a.c));
            // A piece goes on while nothing but its own characters' advances move the next
            // one (justified blanks and tabs start a new piece).
            if (!line.pieces.empty() && k > i && SameLook(atoms[k - 1], a) &&
                atoms[k - 1].c != U'\t' && extra[k - i] == extra[k - i - 1]) {
                line.pieces.back().text += shown;
                continue;
            }
            Piece piece;
            piece.text = shown;
            piece.x = line.edges[k - i];
            piece.font = a.font;
            piece.color = a.color;
            piece.automaticColor = a.automaticColor;
            piece.rise = a.rise;
            line.pieces.push_back(std::move(piece));
        }
        if (ascent == 0 && descent == 0) {
            const TEXTMETRICA& tm = m_fonts[static_cast<std::size_t>(markFont)].metrics;
            ascent = tm.tmAscent;
            descent = tm.tmDescent;
        }
        line.top = m_height;
        line.ascent = ascent;
        line.height = ascent + descent;
        m_height += line.height;
        m_lines.push_back(std::move(line));
        i = j;
        firstLine = false;
        if (last)
            break;
    } while (true);
    m_height += Pixels(format.spaceAfter);
}

std::size_t Layout::LineOf(long position) const {
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), position,
                               [](long p, const Line& line) { return p < line.first; });
    if (it == m_lines.begin())
        return 0;
    return static_cast<std::size_t>(it - m_lines.begin()) - 1;
}

POINT Layout::CaretPoint(long position) const {
    const Line& line = m_lines[LineOf(position)];
    long offset = std::clamp(position - line.first, 0L, line.end - line.first);
    return POINT{line.edges[static_cast<std::size_t>(offset)], line.top};
}

long Layout::PositionAt(POINT point) const {
    std::size_t index = 0;
    while (index + 1 < m_lines.size() && point.y >= m_lines[index].top + m_lines[index].height)
        ++index;
    const Line& line = m_lines[index];
    long best = 0;
    int distance = -1;
    for (std::size_t k = 0; k < line.edges.size(); ++k) {
        int d = std::abs(line.edges[k] - point.x);
        if (distance < 0 || d < distance) {
            distance = d;
            best = static_cast<long>(k);
        }
    }
    long position = line.first + best;
    // The end of a wrapped line is the next line's start: a click after it stays on this line.
    if (!line.endsParagraph && position == line.end && line.end > line.first)
        --position;
    return position;
}

} // namespace win::richedit
