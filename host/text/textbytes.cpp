#include "text/textbytes.h"

#include "text/codepages.h"
#include "text/utf8.h"

#include <algorithm>
#include <array>

namespace cadhost::text {
namespace {

// The guesses look at the start of a file only: a text file does not turn into something else
// half way, and a long one should not cost a second pass.
constexpr std::size_t kSampleBytes = 64 * 1024;

unsigned At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// The control characters text files hold: tab, the line ends, form feeds, and the escape and
// end-of-file marks of old ones.
bool IsTextControl(char32_t c) {
    return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A || c == 0x1B;
}

bool IsStrayControl(char32_t c) {
    return (c < 0x20 && !IsTextControl(c)) || c == 0x7F;
}

// More control characters than text has: a few may be damage in a text file, one in 32 is not.
bool TooManyControls(std::size_t strays, std::size_t count) {
    return strays >= 8 && strays * 32 > count;
}

// The character of the UTF-16 unit at byte i.
char32_t UnitAt(std::string_view bytes, std::size_t i, bool little) {
    return little ? At(bytes, i) | (At(bytes, i + 1) << 8) : (At(bytes, i) << 8) | At(bytes, i + 1);
}

// UTF-16 without a byte order mark, recognised by Latin text's zero high bytes.
TextEncoding GuessUtf16(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return TextEncoding::Narrow;
    std::string_view sample = bytes.substr(0, kSampleBytes);
    std::size_t units = sample.size() / 2;
    std::size_t little = 0; // units "xx 00": Latin characters in little-endian order
    std::size_t big = 0;    // units "00 xx"
    for (std::size_t i = 0; i + 1 < sample.size(); i += 2) {
        if (sample[i] != 0 && sample[i + 1] == 0)
            ++little;
        else if (sample[i] == 0 && sample[i + 1] != 0)
            ++big;
    }
    // Most units are Latin characters in one byte order, hardly any in the other.
    bool isLittle = little * 2 > units && big * 8 <= units;
    bool isBig = big * 2 > units && little * 8 <= units;
    if (!isLittle && !isBig)
        return TextEncoding::Narrow;
    // Binary data of small 16-bit numbers has the same zero bytes; as characters they are
    // controls.
    std::size_t strays = 0;
    for (std::size_t i = 0; i + 1 < sample.size(); i += 2)
        strays += IsStrayControl(UnitAt(sample, i, isLittle)) ? 1 : 0;
    if (TooManyControls(strays, units))
        return TextEncoding::Narrow;
    return isLittle ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
}

bool HasSignature(std::string_view bytes) {
    static constexpr std::array<std::string_view, 4> kSignatures = {
        std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), // compound document (.doc)
        std::string_view("PK\x03\x04", 4),                       // zip (.docx, .odt)
        std::string_view("PK\x05\x06", 4),                       // an empty zip
        std::string_view("%PDF-", 5),
    };
    return std::any_of(kSignatures.begin(), kSignatures.end(),
                       [&](std::string_view signature) { return bytes.starts_with(signature); });
}

} // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.size() >= 2 && At(bytes, 0) == 0xFF && At(bytes, 1) == 0xFE)
        return TextEncoding::Utf16LE;
    if (bytes.size() >= 2 && At(bytes, 0) == 0xFE && At(bytes, 1) == 0xFF)
        return TextEncoding::Utf16BE;
    return GuessUtf16(bytes);
}

std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t start = 0;
    if (bytes.size() >= 2 && UnitAt(bytes, 0, littleEndian) == 0xFEFF)
        start = 2;
    char32_t high = 0;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        char32_t unit = UnitAt(bytes, i, littleEndian);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (high != 0)
                AppendUtf8(out, kReplacementChar);
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(out, high != 0 ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00)
                                      : kReplacementChar);
            high = 0;
            continue;
        }
        if (high != 0)
            AppendUtf8(out, kReplacementChar);
        high = 0;
        AppendUtf8(out, unit);
    }
    if (high != 0)
        AppendUtf8(out, kReplacementChar);
    return out;
}

bool IsBinaryData(std::string_view bytes) {
    if (HasSignature(bytes))
        return true;
    if (DetectTextEncoding(bytes) != TextEncoding::Narrow)
        return false;
    std::string_view sample = bytes.substr(0, kSampleBytes);
    std::size_t strays = std::count_if(sample.begin(), sample.end(), [](char c) {
        return IsStrayControl(static_cast<unsigned char>(c));
    });
    return TooManyControls(strays, sample.size());
}

std::string TextToUtf8(std::string_view bytes) {
    TextEncoding encoding = DetectTextEncoding(bytes);
    std::string text;
    if (encoding != TextEncoding::Narrow) {
        text = Utf16ToUtf8(bytes, encoding == TextEncoding::Utf16LE);
    } else {
        if (bytes.starts_with(kUtf8ByteOrderMark))
            bytes.remove_prefix(kUtf8ByteOrderMark.size());
        if (IsValidUtf8(bytes)) {
            text = bytes;
        } else {
            text.reserve(bytes.size());
            ByteDecoder decoder(1252);
            for (char c : bytes) {
                char32_t decoded = decoder.Decode(static_cast<unsigned char>(c));
                if (decoded != ByteDecoder::kNoChar)
                    AppendUtf8(text, decoded);
            }
        }
    }
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::string TextBytesWithoutNul(std::string_view bytes) {
    TextEncoding encoding = DetectTextEncoding(bytes);
    std::string text = encoding == TextEncoding::Narrow
                           ? std::string(bytes)
                           : Utf16ToUtf8(bytes, encoding == TextEncoding::Utf16LE);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    bool beyondAscii = std::any_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (encoding != TextEncoding::Narrow && beyondAscii && !text.starts_with(kUtf8ByteOrderMark))
        text.insert(0, kUtf8ByteOrderMark);
    return text;
}

} // namespace cadhost::text
