// Code page 1252 and the \U+XXXX escapes.
#include "db/dxf/codepage.h"
#include "text/hexdigit.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace cadhost::db::dxf {

namespace {

// Bytes 0x80-0x9F of Windows code page 1252; the five it leaves undefined map to the
// control character of their own number so that they survive a round trip.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool Is1252(std::string_view codePage) {
    return codePage.empty() || codePage == "ANSI_1252" || codePage == "ansi_1252";
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point of a \U+XXXX escape at pos, or -1.
long EscapeAt(std::string_view s, std::size_t pos) {
    if (pos + 7 > s.size() || s[pos] != '\\' || (s[pos + 1] != 'U' && s[pos + 1] != 'u') ||
        s[pos + 2] != '+')
        return -1;
    long cp = 0;
    for (std::size_t i = pos + 3; i < pos + 7; ++i) {
        int d = cadhost::text::HexDigit(s[i]);
        if (d < 0)
            return -1;
        cp = cp * 16 + d;
    }
    return cp;
}

// One character of UTF-8 at pos: its code point and length; -1 for a byte that starts no
// valid sequence.
long DecodeUtf8(std::string_view s, std::size_t pos, std::size_t& length) {
    auto b = static_cast<unsigned char>(s[pos]);
    length = 1;
    if (b < 0x80)
        return b;
    int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (extra < 0 || pos + static_cast<std::size_t>(extra) >= s.size())
        return -1;
    long cp = b & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        auto c = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
        if ((c & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (c & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    length = static_cast<std::size_t>(extra) + 1;
    return cp;
}

// Where the run of ASCII bytes other than a backslash from pos ends.
std::size_t PlainRun(std::string_view s, std::size_t pos) {
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) < 0x80 && s[pos] != '\\')
        ++pos;
    return pos;
}

void AppendEscape(std::string& out, unsigned cp) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\U+%04X", cp & 0xFFFF);
    out += buffer;
}

} // namespace

bool IsUnicodeVersion(std::string_view version) {
    return version >= "AC1021";
}

std::string DecodeCodePage(std::string_view bytes, std::string_view codePage) {
    std::string out;
    out.reserve(bytes.size());
    bool cp1252 = Is1252(codePage);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // Plain ASCII up to the next escape or byte beyond it goes over as it is.
        std::size_t plain = PlainRun(bytes, i);
        if (plain > i) {
            out.append(bytes.substr(i, plain - i));
            i = plain - 1;
            continue;
        }
        if (long cp = EscapeAt(bytes, i); cp >= 0) {
            // A pair of escaped surrogates stands for one character beyond the BMP.
            long low = cp >= 0xD800 && cp < 0xDC00 ? EscapeAt(bytes, i + 7) : -1;
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((static_cast<std::uint32_t>(cp) - 0xD800) << 10) +
                                    (static_cast<std::uint32_t>(low) - 0xDC00));
                i += 13;
            } else if (cp < 0xD800 || cp > 0xDFFF) {
                AppendUtf8(out, static_cast<std::uint32_t>(cp));
                i += 6;
            } else {
                out += bytes[i];
            }
            continue;
        }
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            out += static_cast<char>(b);
        else if (cp1252 && b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

bool IsAscii(std::string_view bytes) {
    // The bytes ored together show a high bit anywhere: 64 at a step in vector registers
    // where there are, then eight at a time.
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
#ifdef __SSE2__
    if (size >= 64) {
        __m128i wide = _mm_setzero_si128();
        for (; i + 64 <= size; i += 64) {
            const auto* at = reinterpret_cast<const __m128i*>(data + i);
            wide = _mm_or_si128(
                wide, _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                                   _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3))));
        }
        if (_mm_movemask_epi8(wide) != 0)
            return false;
    }
#endif
    std::uint64_t all = 0;
    for (; i + 32 <= size; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, data + i, 32);
        all |= (w[0] | w[1]) | (w[2] | w[3]);
    }
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        all |= word;
    }
    for (; i < size; ++i)
        all |= static_cast<unsigned char>(data[i]);
    return (all & 0x8080808080808080ULL) == 0;
}

bool DecodingChanges(std::string_view bytes) {
    if (!IsAscii(bytes))
        return true;
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    // An escape: its '+' is rare in text, where backslashes are common.
    const char* const end = data + size;
    for (const char* plus = data;; ++plus) {
        plus =
            static_cast<const char*>(std::memchr(plus, '+', static_cast<std::size_t>(end - plus)));
        if (!plus)
            break;
        const auto at = static_cast<std::size_t>(plus - data);
        if (at >= 2 && EscapeAt(bytes, at - 2) >= 0)
            return true;
    }
    return false;
}

std::string EncodeCodePage(std::string_view utf8, std::string_view codePage) {
    std::string out;
    out.reserve(utf8.size());
    bool cp1252 = Is1252(codePage);
    for (std::size_t i = 0; i < utf8.size();) {
        if (std::size_t plain = PlainRun(utf8, i); plain > i) {
            out.append(utf8.substr(i, plain - i));
            i = plain;
            continue;
        }
        std::size_t length = 1;
        long cp = DecodeUtf8(utf8, i, length);
        i += length;
        if (cp < 0) {
            // Not UTF-8: the byte as the character of its number.
            AppendEscape(out, static_cast<unsigned char>(utf8[i - 1]));
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        if (cp < 0x100 && (!cp1252 || cp >= 0xA0 || cp == 0x81 || cp == 0x8D || cp == 0x8F ||
                           cp == 0x90 || cp == 0x9D)) {
            out += static_cast<char>(cp);
            continue;
        }
        bool done = false;
        if (cp1252) {
            for (int k = 0; k < 32 && !done; ++k) {
                if (kCp1252High[k] == cp) {
                    out += static_cast<char>(0x80 + k);
                    done = true;
                }
            }
        }
        if (done)
            continue;
        if (cp >= 0x10000) {
            auto v = static_cast<unsigned>(cp - 0x10000);
            AppendEscape(out, 0xD800 + (v >> 10));
            AppendEscape(out, 0xDC00 + (v & 0x3FF));
        } else {
            AppendEscape(out, static_cast<unsigned>(cp));
        }
    }
    return out;
}

} // namespace cadhost::db::dxf
