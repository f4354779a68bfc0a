// Reading and writing the lines of tags.
#include "db/dxf/tags.h"

#include "db/resbufkind.h"
#include "text/textbytes.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace cadhost::db::dxf {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The next line without its end; false at the end of the text.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size())
        return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
        end = text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = end + 1;
    return true;
}

std::string Shown(std::string_view s) {
    std::string out;
    for (char c : s.substr(0, 40))
        out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out;
}

// Where a line that starts at pos ends (its LF, or the end of the text).  Most lines of a
// file are a few bytes long: they are looked through before memchr is asked.
std::size_t LineEnd(std::string_view text, std::size_t pos) {
    const char* const data = text.data();
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: a byte of the word XOR '\n' is zero where a LF lies, and
        // the lowest high bit of (x - 0x01..) & ~x marks the first such byte.
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
        for (int words = 0; words < 2 && pos + 8 <= text.size(); ++words, pos += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + pos, 8);
            const std::uint64_t x = word ^ (kOnes * '\n');
            if (const std::uint64_t found = (x - kOnes) & ~x & kHighs)
                return pos + static_cast<std::size_t>(std::countr_zero(found) / 8);
        }
    }
    const std::size_t near = std::min(text.size(), pos + 16);
    for (std::size_t i = pos; i < near; ++i)
        if (data[i] == '\n')
            return i;
    if (near == text.size())
        return near;
    const void* lf = std::memchr(data + near, '\n', text.size() - near);
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : text.size();
}

// A code line as the writer lays out codes below 1000 ("  8", " 62", "330") and its LF,
// read at once: answers the code, or -1 when the four bytes at p are anything else.
inline int ShortCodeLine(const char* p) {
    auto digit = [](char c) { return static_cast<unsigned>(c - '0') < 10; };
    if (p[3] != '\n')
        return -1;
    if (p[0] == ' ') {
        if (p[1] == ' ')
            return digit(p[2]) ? p[2] - '0' : -1;
        return digit(p[1]) && p[1] != '0' && digit(p[2]) ? (p[1] - '0') * 10 + (p[2] - '0') : -1;
    }
    return digit(p[0]) && p[0] != '0' && digit(p[1]) && digit(p[2])
               ? (p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0')
               : -1;
}

} // namespace

bool TagScanner::fail(std::string message) {
    m_error = "line " + std::to_string(m_line) + ": " + std::move(message);
    m_pos = m_text.size();
    return false;
}

bool TagScanner::next(TagView& tag) {
    const std::size_t size = m_text.size();
    if (m_pos >= size)
        return false;
    m_tagStart = m_pos;
    if (m_pos + 5 < size) {
        const char* const p = m_text.data() + m_pos;
        if (const int code = ShortCodeLine(p); code >= 0) {
            ++m_line;
            return valueLine(tag, code, m_pos + 4, true);
        }
        // The codes of extended data and other four-figure codes, as the writer lays them out.
        auto digit = [](char c) { return static_cast<unsigned>(c - '0') < 10; };
        if (p[4] == '\n' && p[0] != '0' && digit(p[0]) && digit(p[1]) && digit(p[2]) &&
            digit(p[3])) {
            ++m_line;
            const int code =
                (p[0] - '0') * 1000 + (p[1] - '0') * 100 + (p[2] - '0') * 10 + (p[3] - '0');
            return valueLine(tag, code, m_pos + 5, true);
        }
    }
    const std::size_t codeEnd = LineEnd(m_text, m_pos);
    std::string_view codeLine = m_text.substr(m_pos, codeEnd - m_pos);
    const bool codeCR = !codeLine.empty() && codeLine.back() == '\r';
    if (codeCR)
        codeLine.remove_suffix(1);
    const std::size_t valuePos = codeEnd + 1;
    ++m_line;

    // Most codes are blanks and a few digits; anything else takes the general way.
    int code = 0;
    const char* p = codeLine.data();
    const char* const e = p + codeLine.size();
    while (p < e && *p == ' ')
        ++p;
    const char* const digits = p;
    while (p < e && static_cast<unsigned>(*p - '0') < 10 && p - digits < 4) {
        code = code * 10 + (*p - '0');
        ++p;
    }
    const std::size_t blanks = static_cast<std::size_t>(digits - codeLine.data());
    const std::size_t figures = static_cast<std::size_t>(p - digits);
    // The writer right-aligns a code in three places, without leading zeros.
    bool codeInWriterForm = p == e && figures != 0 && blanks == (figures < 3 ? 3 - figures : 0) &&
                            (figures == 1 || *digits != '0');
    if (p != e || p == digits) {
        std::string_view trimmed = Trim(codeLine);
        if (trimmed.empty() && valuePos >= size) {
            m_pos = size; // a last empty line after the final value
            return false;
        }
        long long value = 0;
        if (!ParseInteger(trimmed, value) || value < -32768 || value > 32767)
            return fail("group code expected, found \"" + Shown(codeLine) + "\"");
        code = static_cast<int>(value);
        char formatted[8];
        std::size_t length = FormatCode(code, formatted);
        codeInWriterForm =
            codeLine.size() == length && std::memcmp(codeLine.data(), formatted, length) == 0;
    }
    if (valuePos >= size)
        return fail("group code " + std::to_string(code) +
                    " without a value (the file is cut short)");
    return valueLine(tag, code, valuePos, codeInWriterForm && !codeCR);
}

bool TagScanner::valueLine(TagView& tag, int code, std::size_t valuePos, bool codeInWriterForm) {
    const std::size_t size = m_text.size();
    const std::size_t valueEnd = LineEnd(m_text, valuePos);
    std::string_view value = m_text.substr(valuePos, valueEnd - valuePos);
    // A value line ends at its LF with every CR before it: no line can hold a value that
    // ends in CR and read back the same (its last CR would be taken for a CR LF end).
    const bool valueCR = !value.empty() && value.back() == '\r';
    while (!value.empty() && value.back() == '\r')
        value.remove_suffix(1);
    ++m_line;
    m_pos = valueEnd + 1;

    tag.code = code;
    tag.value = value;
    tag.line = m_line - 1;

    m_writerForm = codeInWriterForm && !valueCR && valueEnd < size;
    return true;
}

bool ReadTags(std::string_view text, Tags& tags, std::string& error) {
    tags.clear();
    // A byte order mark is no part of the first group code.
    text = WithoutByteOrderMark(text);
    TagScanner scanner(text);
    TagView tag;
    while (scanner.next(tag))
        tags.push_back(Tag{tag.code, std::string(tag.value), tag.line});
    if (scanner.failed()) {
        error = scanner.error();
        return false;
    }
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.starts_with(cadhost::text::kUtf8ByteOrderMark)
               ? text.substr(cadhost::text::kUtf8ByteOrderMark.size())
               : text;
}

bool BeginsAsDxf(std::string_view text) {
    text = WithoutByteOrderMark(text);
    std::size_t pos = 0;
    std::string_view code, value;
    while (NextLine(text, pos, code) && NextLine(text, pos, value)) {
        if (Trim(code) != "999")
            return Trim(code) == "0" && Trim(value) == "SECTION";
    }
    return false;
}

std::size_t FormatCode(int code, char* buffer) {
    char digits[8];
    auto result = std::to_chars(digits, digits + sizeof digits, code);
    auto length = static_cast<std::size_t>(result.ptr - digits);
    std::size_t pad = length < 3 ? 3 - length : 0;
    std::memset(buffer, ' ', pad);
    std::memcpy(buffer + pad, digits, length);
    return pad + length;
}

void AppendTag(std::string& out, int code, std::string_view value) {
    char line[8];
    std::size_t length = FormatCode(code, line);
    line[length++] = '\n';
    out.append(line, length);
    out.append(value);
    out += '\n';
}

namespace {

constexpr char kEscape = '\x01';

bool NeedsEscape(std::string_view value) {
    // Two scans for one byte each: find_first_of would search the set for every byte.
    return std::memchr(value.data(), '\n', value.size()) ||
           std::memchr(value.data(), kEscape, value.size());
}

} // namespace

void AppendLaidOutTag(std::string& out, int code, std::string_view value, bool fromLine) {
    if (fromLine ? !std::memchr(value.data(), kEscape, value.size()) : !NeedsEscape(value)) {
        AppendTag(out, code, value);
        return;
    }
    std::string escaped;
    for (char c : value) {
        if (c == '\n' || c == kEscape) {
            escaped += kEscape;
            escaped += c == '\n' ? 'n' : kEscape;
        } else {
            escaped += c;
        }
    }
    AppendTag(out, code, escaped);
}

void AppendTags(std::string& out, const Tags& tags) {
    for (const Tag& tag : tags)
        AppendLaidOutTag(out, tag.code, tag.value);
}

bool IsPlainLayout(std::string_view layout) {
    return layout.find(kEscape) == std::string_view::npos;
}

bool LaidOutTags::next(TagView& tag) {
    if (m_rest.empty())
        return false;
    const int shortCode = m_rest.size() > 4 ? ShortCodeLine(m_rest.data()) : -1;
    std::size_t codeEnd = shortCode >= 0 ? 3 : LineEnd(m_rest, 0);
    std::size_t valueEnd = codeEnd < m_rest.size() ? LineEnd(m_rest, codeEnd + 1) : m_rest.size();
    if (valueEnd >= m_rest.size()) { // not a layout of whole tags
        m_rest = {};
        return false;
    }
    if (shortCode >= 0) {
        tag.code = shortCode;
    } else {
        // The code is right-aligned digits, with a minus sign for a negative one.
        const char* p = m_rest.data();
        const char* const e = p + codeEnd;
        while (p < e && *p == ' ')
            ++p;
        const bool negative = p < e && *p == '-';
        p += negative;
        int code = 0;
        for (; p < e && static_cast<unsigned>(*p - '0') < 10; ++p)
            code = code * 10 + (*p - '0');
        tag.code = negative ? -code : code;
    }
    tag.value = m_rest.substr(codeEnd + 1, valueEnd - codeEnd - 1);
    tag.line = 0;
    if (!m_literal && tag.value.find(kEscape) != std::string_view::npos) {
        m_value.clear();
        for (std::size_t i = 0; i < tag.value.size(); ++i) {
            if (tag.value[i] == kEscape && i + 1 < tag.value.size())
                m_value += tag.value[++i] == 'n' ? '\n' : kEscape;
            else
                m_value += tag.value[i];
        }
        tag.value = m_value;
    }
    m_rest.remove_prefix(valueEnd + 1);
    return true;
}

Tags TagsOfLayout(std::string_view layout, bool literal) {
    Tags tags;
    LaidOutTags reader(layout, literal);
    TagView tag;
    while (reader.next(tag))
        tags.push_back(Tag{tag.code, std::string(tag.value), 0});
    return tags;
}

void ViewsOfPlainLayout(std::string_view layout, bool literal, std::vector<TagView>& views) {
    views.clear();
    LaidOutTags reader(layout, literal);
    TagView tag;
    while (reader.next(tag))
        views.push_back(tag);
}

std::string LayoutOfLiteral(std::string_view literal) {
    if (IsPlainLayout(literal))
        return std::string(literal);
    std::string layout;
    LaidOutTags reader(literal, true);
    TagView tag;
    while (reader.next(tag))
        AppendLaidOutTag(layout, tag.code, tag.value, true);
    return layout;
}

std::vector<TagView> ViewsOf(const Tags& tags) {
    std::vector<TagView> views;
    views.reserve(tags.size());
    for (const Tag& tag : tags)
        views.push_back(TagView{tag.code, tag.value, tag.line});
    return views;
}

namespace {

// Plain decimals of up to 15 digits: the digits make an exact integer and a power of ten up
// to 10^15 is exact, so one division rounds as a full conversion does.  False for any other
// text, which takes the general way.
bool ParsePlainDecimal(std::string_view text, double& value) {
    static constexpr double kTens[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = text.data();
    const char* const e = p + text.size();
    const bool negative = p < e && *p == '-';
    p += negative;
    std::uint64_t digits = 0;
    int count = 0, fraction = 0;
    const char* const start = p;
    for (; p < e && static_cast<unsigned>(*p - '0') < 10; ++p, ++count)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    if (p == start)
        return false;
    if (p < e && *p == '.') {
        const char* const point = ++p;
        for (; p < e && static_cast<unsigned>(*p - '0') < 10; ++p, ++count)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        fraction = static_cast<int>(p - point);
        if (fraction == 0)
            return false;
    }
    if (p != e || count > 15)
        return false;
    const double magnitude = static_cast<double>(digits) / kTens[fraction];
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

bool ParseReal(std::string_view text, double& value) {
    // Most values are plain decimals with nothing around them.
    if (!text.empty() && static_cast<unsigned>(text.back() - '0') < 10 &&
        (text.front() == '-' || static_cast<unsigned>(text.front() - '0') < 10) &&
        ParsePlainDecimal(text, value))
        return true;
    text = Trim(text);
    if (text.empty())
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    if (ParsePlainDecimal(text, value))
        return true;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseInteger(std::string_view text, long long& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool IsNumberText(std::string_view text) {
    // Plain decimals always parse; the rest goes through ParseReal.
    // Blanks around and a plus sign are taken as ParseReal takes them: integers are often
    // written right-aligned.
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && (*p == ' ' || *p == '\t'))
        ++p;
    while (e > p && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r'))
        --e;
    if (p < e && *p == '+')
        ++p;
    if (p < e && *p == '-')
        ++p;
    int digits = 0;
    while (p < e && static_cast<unsigned>(*p - '0') < 10)
        ++p, ++digits;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && static_cast<unsigned>(*p - '0') < 10)
            ++p, ++digits;
    }
    // Up to 30 digits without an exponent the value lies well inside a double's range, so
    // the form alone tells; longer ones could fall outside it.
    if (p == e && digits > 0 && digits <= 30)
        return true;
    double value = 0.0;
    return ParseReal(text, value);
}

std::size_t FormatReal(double value, char* buffer) {
    if (!std::isfinite(value)) {
        std::memcpy(buffer, "0.0", 3);
        return 3;
    }
    auto [end, ec] = std::to_chars(buffer, buffer + 28, value);
    std::size_t length = ec == std::errc() ? static_cast<std::size_t>(end - buffer) : 0;
    bool plain = true;
    for (std::size_t i = 0; i < length && plain; ++i)
        plain = buffer[i] != '.' && buffer[i] != 'e';
    if (plain) {
        std::memcpy(buffer + length, ".0", 2);
        length += 2;
    }
    return length;
}

std::string FormatReal(double value) {
    char buffer[32];
    return std::string(buffer, FormatReal(value, buffer));
}

} // namespace cadhost::db::dxf
