#include "text/mtextreader.h"

#include "text/utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>

namespace cadhost::text {

namespace {

constexpr char32_t kNoBreakSpace = 0x00A0;

std::size_t HashCombine(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

std::size_t HashDouble(double value) {
    return std::hash<double>{}(value);
}

std::size_t HashFont(const MTextFontRequest& request) {
    std::size_t h = std::hash<std::string>{}(request.family);
    h = HashCombine(h, (request.bold ? 1u : 0u) | (request.italic ? 2u : 0u) |
                           (request.fromFile ? 4u : 0u));
    h = HashCombine(h, static_cast<std::size_t>(request.charset));
    return HashCombine(h, static_cast<std::size_t>(request.pitch));
}

std::size_t HashParagraph(const MTextParagraphFormat& f) {
    std::size_t h = HashDouble(f.firstIndent);
    h = HashCombine(h, HashDouble(f.leftIndent));
    h = HashCombine(h, HashDouble(f.rightIndent));
    h = HashCombine(h, static_cast<std::size_t>(f.align));
    h = HashCombine(h, HashDouble(f.lineSpacing));
    h = HashCombine(h, f.spacingAtLeast ? 1u : 0u);
    for (int i = 0; i < f.tabCount; ++i) {
        h = HashCombine(h, HashDouble(f.tabs[i].position));
        h = HashCombine(h, static_cast<std::size_t>(f.tabs[i].type));
    }
    return h;
}

template <typename T, typename Hash>
int Intern(std::vector<T>& values, std::unordered_multimap<std::size_t, int>& index, const T& value,
           Hash hash) {
    std::size_t key = hash(value);
    auto [first, last] = index.equal_range(key);
    for (auto it = first; it != last; ++it)
        if (values[it->second] == value)
            return it->second;
    values.push_back(value);
    int at = static_cast<int>(values.size() - 1);
    index.emplace(key, at);
    return at;
}

template <typename T, typename Hash>
void Truncate(std::vector<T>& values, std::unordered_multimap<std::size_t, int>& index,
              std::size_t size, Hash hash) {
    if (size == 0) {
        values.clear();
        index.clear();
        return;
    }
    while (values.size() > size) {
        int at = static_cast<int>(values.size() - 1);
        auto [first, last] = index.equal_range(hash(values.back()));
        for (auto it = first; it != last; ++it) {
            if (it->second == at) {
                index.erase(it);
                break;
            }
        }
        values.pop_back();
    }
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// A decimal number at `i` of `s` ([+-] digits [. digits] [e [+-] digits], or one that starts
// with the point); advances past it.  False, without moving, when there is none.
bool ParseNumber(std::string_view s, std::size_t& i, double& value) {
    std::size_t j = i;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        negative = s[j++] == '-';
    std::size_t start = j;
    while (j < s.size() && IsDigit(s[j]))
        ++j;
    bool digits = j > start;
    if (j < s.size() && s[j] == '.') {
        std::size_t afterPoint = j + 1;
        std::size_t k = afterPoint;
        while (k < s.size() && IsDigit(s[k]))
            ++k;
        if (digits || k > afterPoint) {
            digits = true;
            j = k;
        }
    }
    if (!digits)
        return false;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        std::size_t expStart = k;
        while (k < s.size() && IsDigit(s[k]))
            ++k;
        if (k > expStart)
            j = k;
    }
    double parsed = 0.0;
    auto [end, ec] = std::from_chars(s.data() + start, s.data() + j, parsed);
    if (ec == std::errc::result_out_of_range)
        parsed = HUGE_VAL; // refused by the callers' range checks
    else if (ec != std::errc() || end != s.data() + j)
        return false;
    value = negative ? -parsed : parsed;
    i = j;
    return true;
}

// A value of a paragraph code: a number, or "*" for the default (0).
bool ParseParagraphValue(std::string_view arg, std::size_t& i, double& value) {
    if (i < arg.size() && arg[i] == '*') {
        ++i;
        value = 0.0;
        return true;
    }
    return ParseNumber(arg, i, value) && std::isfinite(value) && std::fabs(value) < 1e9;
}

void SortTabs(MTextParagraphFormat& f) {
    std::stable_sort(
        f.tabs.begin(), f.tabs.begin() + f.tabCount,
        [](const MTextTabStop& a, const MTextTabStop& b) { return a.position < b.position; });
}

// The t part of a paragraph code takes the rest of the code: stops separated by commas,
// each a number with an optional c (centred) or r (right) in front.  Codes joined without
// commas ("\pi-2\pt2\pl2;", as continued columns carry them) end the list at the next
// backslash, where the following letter's value starts.
void ParseTabStops(std::string_view arg, std::size_t& i, double unit, MTextParagraphFormat& f) {
    f.tabCount = 0;
    f.tabs.fill({}); // unused entries stay default, so equal formats compare equal
    while (i < arg.size()) {
        char c = arg[i];
        if (c == '\\')
            break;
        MTextTabType type = MTextTabType::Left;
        if (c == ',') {
            ++i;
            continue;
        }
        if (c == 'c' || c == 'r' || c == 'd') {
            type = c == 'c' ? MTextTabType::Center
                            : (c == 'r' ? MTextTabType::Right : MTextTabType::Decimal);
            ++i;
        }
        double value = 0.0;
        if (ParseParagraphValue(arg, i, value)) {
            if (f.tabCount < MTextParagraphFormat::kMaxTabStops)
                f.tabs[f.tabCount++] = {value * unit, type};
        } else if (type == MTextTabType::Left) {
            ++i; // a character that belongs to no stop
        }
    }
    SortTabs(f);
}

void ApplyParagraphCode(std::string_view arg, double unit, MTextParagraphFormat& f) {
    std::size_t i = 0;
    while (i < arg.size()) {
        char c = arg[i++];
        double value = 0.0;
        switch (c) {
        case 'i':
            if (ParseParagraphValue(arg, i, value))
                f.firstIndent = value * unit;
            break;
        case 'l':
            if (ParseParagraphValue(arg, i, value))
                f.leftIndent = value * unit;
            break;
        case 'r':
            if (ParseParagraphValue(arg, i, value))
                f.rightIndent = value * unit;
            break;
        case 'q':
            if (i < arg.size()) {
                switch (arg[i++]) {
                case 'r':
                    f.align = MTextParagraphAlign::Right;
                    break;
                case 'c':
                    f.align = MTextParagraphAlign::Center;
                    break;
                case 'j':
                    f.align = MTextParagraphAlign::Justified;
                    break;
                case 'd':
                    f.align = MTextParagraphAlign::Distributed;
                    break;
                default: // l, *, or anything else
                    f.align = MTextParagraphAlign::Left;
                    break;
                }
            }
            break;
        case 't':
            ParseTabStops(arg, i, unit, f);
            break;
        case 's': {
            // sm<multiple>, sa<at least>, s* for the default spacing.
            char kind = i < arg.size() ? arg[i] : 0;
            if (kind == '*') {
                ++i;
                f.lineSpacing = 1.0;
                f.spacingAtLeast = false;
                break;
            }
            if (kind >= 'a' && kind <= 'z')
                ++i;
            if (ParseNumber(arg, i, value) && std::isfinite(value) && value > 0.0 &&
                value <= 100.0 && (kind == 'm' || kind == 'a')) {
                f.lineSpacing = value;
                f.spacingAtLeast = kind == 'a';
            }
            break;
        }
        case 'b':
        case 'a':
            // Space before and after a paragraph: read so that its value is not taken for
            // something else; the layout does not use it.
            ParseParagraphValue(arg, i, value);
            break;
        default: // x (the extended-codes mark), commas, letters of codes we do not know
            break;
        }
    }
}

// The fields of a font code after the name: b1 bold, i1 italic, cN charset, pN pitch.
MTextFontRequest ParseFontCode(std::string_view arg, bool fromFile) {
    std::size_t bar = arg.find('|');
    MTextFontRequest request = fromFile ? FontRequestFromName(arg.substr(0, bar))
                                        : MTextFontRequest{std::string(arg.substr(0, bar))};
    while (bar != std::string_view::npos) {
        std::size_t start = bar + 1;
        bar = arg.find('|', start);
        std::string_view field =
            arg.substr(start, bar == std::string_view::npos ? bar : bar - start);
        if (field.empty())
            continue;
        int number = 0;
        std::from_chars(field.data() + 1, field.data() + field.size(), number);
        switch (field[0]) {
        case 'b':
            request.bold = number != 0;
            break;
        case 'i':
            request.italic = number != 0;
            break;
        case 'c':
            request.charset = number;
            break;
        case 'p':
            request.pitch = number;
            break;
        default:
            break;
        }
    }
    return request;
}

} // namespace

MTextFontRequest FontRequestFromName(std::string_view name) {
    MTextFontRequest request;
    std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0 && name.size() - dot <= 4) {
        std::string ext(name.substr(dot + 1));
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == "ttf" || ext == "ttc" || ext == "otf" || ext == "shx" || ext == "pfb") {
            name = name.substr(0, dot);
            request.fromFile = true;
        }
    }
    request.family = std::string(name);
    return request;
}

int MTextFormatPools::internFont(const MTextFontRequest& request) {
    return Intern(m_fonts, m_fontIndex, request, HashFont);
}

int MTextFormatPools::internParagraph(const MTextParagraphFormat& format) {
    return Intern(m_paragraphs, m_paragraphIndex, format, HashParagraph);
}

void MTextFormatPools::truncate(std::size_t fonts, std::size_t paragraphs) {
    Truncate(m_fonts, m_fontIndex, fonts, HashFont);
    Truncate(m_paragraphs, m_paragraphIndex, paragraphs, HashParagraph);
}

MTextReader::MTextReader(double textHeight, std::string_view styleFont, MTextFormatPools& pools)
    : m_textHeight(textHeight), m_styleFont(FontRequestFromName(styleFont)), m_pools(pools) {
    if (m_styleFont.family.empty())
        m_styleFont.family = "Arial";
}

void MTextReader::begin(std::string_view text) {
    ++m_formatSerial;
    m_text = text;
    m_pools.clear();
    m_state = State{};
    m_state.format.font = m_pools.internFont(m_styleFont);
    m_state.format.height = m_textHeight;
    m_state.paragraph = m_pools.internParagraph(MTextParagraphFormat{});
}

void MTextReader::save(State& out) const {
    out.pos = m_state.pos;
    out.horizon = m_state.horizon;
    out.depth = m_state.depth;
    out.saved.assign(m_state.saved.begin(), m_state.saved.end());
    out.format = m_state.format;
    out.paragraph = m_state.paragraph;
    out.fontCount = m_pools.fontCount();
    out.paragraphCount = m_pools.paragraphCount();
}

void MTextReader::restore(const State& state, std::string_view text) {
    ++m_formatSerial;
    m_text = text;
    m_state.pos = state.pos;
    m_state.horizon = state.horizon;
    m_state.depth = state.depth;
    m_state.saved.assign(state.saved.begin(), state.saved.end());
    m_state.format = state.format;
    m_state.paragraph = state.paragraph;
    m_pools.truncate(state.fontCount, state.paragraphCount);
}

int MTextReader::peek(std::size_t i) {
    if (i >= m_text.size()) {
        m_state.horizon = std::max(m_state.horizon, m_text.size() + 1);
        return -1;
    }
    m_state.horizon = std::max(m_state.horizon, i + 1);
    return static_cast<unsigned char>(m_text[i]);
}

void MTextReader::openGroup() {
    ++m_state.depth;
    if (m_state.depth <= kMaxSavedDepth)
        m_state.saved.push_back({m_state.format, m_state.paragraph});
}

void MTextReader::closeGroup() {
    if (m_state.depth == 0)
        return; // a stray closing brace
    if (m_state.depth <= kMaxSavedDepth) {
        m_state.format = m_state.saved.back().format;
        m_state.paragraph = m_state.saved.back().paragraph;
        m_state.saved.pop_back();
    }
    --m_state.depth;
}

char32_t MTextReader::readUtf8() {
    unsigned char lead = static_cast<unsigned char>(m_text[m_state.pos]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (m_state.pos + length > m_text.size())
        peek(m_text.size()); // a sequence cut by the end of the text: its end was looked at
    else
        peek(m_state.pos + length - 1);
    return NextUtf8(m_text, m_state.pos);
}

bool MTextReader::next(MTextToken& token) {
    for (;;) {
        int c = peek(m_state.pos);
        if (c < 0)
            return false;
        token.kind = MTextTokenKind::Char;
        switch (c) {
        case '{':
            ++m_state.pos;
            openGroup();
            continue;
        case '}':
            ++m_formatSerial;
            ++m_state.pos;
            closeGroup();
            continue;
        case '\\':
            ++m_formatSerial;
            if (readBackslashCode(token))
                return true;
            continue;
        case '^':
            if (readCaret(token))
                return true;
            continue;
        case '%':
            if (peek(m_state.pos + 1) == '%') {
                int code = peek(m_state.pos + 2);
                char32_t symbol = 0;
                if (code == 'd' || code == 'D')
                    symbol = 0x00B0; // degree sign
                else if (code == 'p' || code == 'P')
                    symbol = 0x00B1; // plus-minus sign
                else if (code == 'c' || code == 'C')
                    symbol = 0x00D8; // diameter, drawn with the letter the fonts have
                if (symbol) {
                    m_state.pos += 3;
                    token.ch = symbol;
                    return true;
                }
            }
            ++m_state.pos;
            token.ch = '%';
            return true;
        case '\t':
            ++m_state.pos;
            token.kind = MTextTokenKind::Tab;
            return true;
        case '\n':
            ++m_state.pos;
            token.kind = MTextTokenKind::LineBreak;
            return true;
        case '\r':
            ++m_state.pos;
            if (peek(m_state.pos) == '\n')
                continue; // CR LF is one line break
            token.ch = ' ';
            return true;
        case 0x7F:
            ++m_state.pos;
            continue;
        default:
            if (c < 0x20) {
                // Other control characters have no glyph; they take a space's room.
                ++m_state.pos;
                token.ch = ' ';
                return true;
            }
            if (c < 0x80) {
                ++m_state.pos; // a character of one byte, already looked at
                token.ch = static_cast<char32_t>(c);
                return true;
            }
            token.ch = readUtf8();
            return true;
        }
    }
}

bool MTextReader::readCaret(MTextToken& token) {
    int n = peek(m_state.pos + 1);
    if (n == ' ') { // "^ " is the caret itself
        m_state.pos += 2;
        token.ch = '^';
        return true;
    }
    if (n >= 0x40 && n <= 0x5F) { // ^@ .. ^_: the control characters
        m_state.pos += 2;
        if (n == 'I') {
            token.kind = MTextTokenKind::Tab;
        } else if (n == 'J') {
            token.kind = MTextTokenKind::LineBreak;
        } else {
            token.ch = ' ';
        }
        return true;
    }
    if (n == '?') { // DEL
        m_state.pos += 2;
        return false;
    }
    if (n >= 0x60 && n <= 0x7E) {
        // Not caret notation proper; decoded with the same arithmetic as the control
        // characters, as other DXF readers do, which gives a printable character.
        m_state.pos += 2;
        token.ch = static_cast<char32_t>(n - 0x40);
        return true;
    }
    ++m_state.pos; // a caret before anything else is an ordinary character
    token.ch = '^';
    return true;
}

bool MTextReader::readBackslashCode(MTextToken& token) {
    int n = peek(m_state.pos + 1);
    switch (n) {
    case '\\':
    case '{':
    case '}':
        m_state.pos += 2;
        token.ch = static_cast<char32_t>(n);
        return true;
    case 'P':
    case 'N': // a column break: this engine has no columns, so it ends the paragraph
        m_state.pos += 2;
        token.kind = MTextTokenKind::ParagraphBreak;
        return true;
    case 'X': // the break between the parts of a dimension's text
        m_state.pos += 2;
        token.kind = MTextTokenKind::LineBreak;
        return true;
    case '~':
        m_state.pos += 2;
        token.ch = kNoBreakSpace;
        return true;
    case 'L':
    case 'l':
        m_state.pos += 2;
        m_state.format.underline = n == 'L';
        return false;
    case 'O':
    case 'o':
        m_state.pos += 2;
        m_state.format.overline = n == 'O';
        return false;
    case 'K':
    case 'k':
        m_state.pos += 2;
        m_state.format.strike = n == 'K';
        return false;
    case 'f':
    case 'F':
        m_state.pos += 2;
        readFontCode(n == 'F');
        return false;
    case 'H':
        m_state.pos += 2;
        readHeightCode();
        return false;
    case 'W':
        m_state.pos += 2;
        readFactorCode(m_state.format.widthFactor, 0.01, 100.0);
        return false;
    case 'T':
        m_state.pos += 2;
        readFactorCode(m_state.format.tracking, 0.75, 4.0);
        return false;
    case 'Q':
        m_state.pos += 2;
        readObliqueCode();
        return false;
    case 'A':
        m_state.pos += 2;
        readAlignCode();
        return false;
    case 'C':
        m_state.pos += 2;
        readColorIndexCode();
        return false;
    case 'c':
        m_state.pos += 2;
        readTrueColorCode();
        return false;
    case 'p':
        m_state.pos += 2;
        readParagraphCode();
        return false;
    case 'S':
        m_state.pos += 2;
        readStackCode(token);
        return token.kind == MTextTokenKind::Stack;
    case 'U':
        if (readUnicodeEscape(token))
            return true;
        break;
    default:
        break;
    }
    // A backslash before anything else is shown as it is (a path like C:\temp keeps its
    // backslash); what follows is read as ordinary text.
    ++m_state.pos;
    token.ch = '\\';
    return true;
}

std::string_view MTextReader::readArgument() {
    std::size_t start = m_state.pos;
    std::size_t end = m_text.find(';', start);
    if (end == std::string_view::npos) {
        peek(m_text.size());
        m_state.pos = m_text.size();
        return m_text.substr(start);
    }
    peek(end);
    m_state.pos = end + 1;
    return m_text.substr(start, end - start);
}

bool MTextReader::readNumber(double& value) {
    // Find the number's extent through peek, so that the horizon covers the byte that ended
    // it, then let the shared parser read it.
    std::size_t end = m_state.pos;
    for (;;) {
        int c = peek(end);
        if (c < 0 || !(IsDigit(c) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
            break;
        ++end;
    }
    std::size_t i = m_state.pos;
    if (!ParseNumber(m_text.substr(0, end), i, value))
        return false;
    m_state.pos = i;
    return true;
}

void MTextReader::skipTerminator() {
    if (peek(m_state.pos) == ';')
        ++m_state.pos;
}

void MTextReader::readFontCode(bool fromFile) {
    MTextFontRequest request = ParseFontCode(readArgument(), fromFile);
    if (request.family.empty())
        return; // a code without a name changes nothing
    m_state.format.font = m_pools.internFont(request);
}

void MTextReader::readHeightCode() {
    double value = 0.0;
    if (!readNumber(value)) {
        skipTerminator();
        return;
    }
    int unit = peek(m_state.pos);
    bool relative = unit == 'x' || unit == 'X';
    if (relative)
        ++m_state.pos;
    skipTerminator();
    double height = std::fabs(relative ? value * m_state.format.height : value);
    // Zero or absurd heights would make every later measure meaningless; they are ignored.
    if (std::isfinite(height) && height > 0.0 && height < 1e10)
        m_state.format.height = height;
}

void MTextReader::readFactorCode(double& target, double low, double high) {
    double value = 0.0;
    if (!readNumber(value)) {
        skipTerminator();
        return;
    }
    int unit = peek(m_state.pos);
    bool relative = unit == 'x' || unit == 'X';
    if (relative)
        ++m_state.pos;
    skipTerminator();
    double factor = std::fabs(relative ? value * target : value);
    if (std::isfinite(factor))
        target = std::clamp(factor, low, high);
}

void MTextReader::readObliqueCode() {
    double value = 0.0;
    bool ok = readNumber(value);
    skipTerminator();
    if (ok && std::isfinite(value))
        m_state.format.obliqueDegrees = std::clamp(value, -85.0, 85.0);
}

void MTextReader::readAlignCode() {
    int c = peek(m_state.pos);
    if (c >= '0' && c <= '2') {
        ++m_state.pos;
        m_state.format.verticalAlign = static_cast<MTextVerticalAlign>(c - '0');
    }
    skipTerminator();
}

void MTextReader::readColorIndexCode() {
    long value = 0;
    bool digits = false;
    for (int c = peek(m_state.pos); IsDigit(c); c = peek(m_state.pos)) {
        value = std::min(value * 10 + (c - '0'), 100000L);
        digits = true;
        ++m_state.pos;
    }
    skipTerminator();
    if (digits && value <= 256)
        m_state.format.color = {MTextColor::Kind::Index, static_cast<int>(value)};
}

void MTextReader::readTrueColorCode() {
    unsigned long long value = 0;
    bool digits = false;
    for (int c = peek(m_state.pos); IsDigit(c); c = peek(m_state.pos)) {
        value = std::min(value * 10 + static_cast<unsigned>(c - '0'), 0xFFFFFFFFULL);
        digits = true;
        ++m_state.pos;
    }
    skipTerminator();
    if (!digits)
        return;
    // The value is ordered like a Windows COLORREF: red in the low byte.
    MTextColor color;
    color.kind = MTextColor::Kind::True;
    color.red = static_cast<std::uint8_t>(value & 0xFF);
    color.green = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    color.blue = static_cast<std::uint8_t>((value >> 16) & 0xFF);
    m_state.format.color = color;
}

void MTextReader::readParagraphCode() {
    MTextParagraphFormat format = m_pools.paragraph(m_state.paragraph);
    ApplyParagraphCode(readArgument(), m_textHeight, format);
    m_state.paragraph = m_pools.internParagraph(format);
}

void MTextReader::readStackCode(MTextToken& token) {
    // The stack runs to the first ";" that no backslash escapes.  A backslash also escapes
    // the separators, and "^ " (the caret as a DXF file writes it) is the ^ separator.
    std::string parts[2];
    char type = 0;
    for (;;) {
        int c = peek(m_state.pos);
        if (c < 0)
            break;
        ++m_state.pos;
        if (c == ';')
            break;
        if (c == '\\') {
            int escaped = peek(m_state.pos);
            if (escaped < 0) {
                parts[type ? 1 : 0].push_back('\\');
                break;
            }
            ++m_state.pos;
            c = escaped;
        } else if (!type && (c == '/' || c == '#' || c == '^')) {
            type = static_cast<char>(c);
            if (c == '^' && peek(m_state.pos) == ' ')
                ++m_state.pos;
            continue;
        }
        if (c < 0x20)
            c = ' ';
        parts[type ? 1 : 0].push_back(static_cast<char>(c));
    }
    if (parts[0].empty() && parts[1].empty()) {
        token.kind = MTextTokenKind::Char; // nothing to show
        return;
    }
    token.kind = MTextTokenKind::Stack;
    token.upper = std::move(parts[0]);
    token.lower = std::move(parts[1]);
    token.stackType = type;
}

bool MTextReader::readUnicodeEscape(MTextToken& token) {
    // \U+XXXX: a character by its code point in hexadecimal.
    if (peek(m_state.pos + 2) != '+')
        return false;
    char32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        int c = peek(m_state.pos + 3 + i);
        int digit = IsDigit(c)               ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<char32_t>(digit);
    }
    m_state.pos += 7;
    token.kind = MTextTokenKind::Char;
    token.ch = (value >= 0xD800 && value <= 0xDFFF) ? kReplacementChar : value;
    if (token.ch < 0x20)
        token.ch = ' ';
    return true;
}

} // namespace cadhost::text
