#include "text/codepages.h"

#include "text/codepagetables.h"

namespace cadhost::text {
namespace {

using detail::DoubleByteCodePage;
using detail::kLeadByte;
using detail::kUndefinedChar;

// The Symbol font's glyph positions 0x20..0xFF as the Unicode characters they show (the
// publicly documented Symbol encoding; 0xA0 is the euro sign that Windows added).
constexpr char16_t kSymbol[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217,
    0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    // 0x30
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A,
    0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1,
    0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    // 0x50
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396,
    0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5,
    0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    // 0x70
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,
    0x007B, 0x007C, 0x007D, 0x223C, 0xFFFD,
    // 0x80..0x9F are unused
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660,
    0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261,
    0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287,
    0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    // 0xD0
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228,
    0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2,
    0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    // 0xF0
    0xFFFD, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,
    0x23A6, 0x23AB, 0x23AC, 0x23AD, 0xFFFD};

// The Mac code pages of the Far East are close enough to their Windows relatives for
// documents written by Mac word processors.
int CanonicalCodePage(int codePage) {
    switch (codePage) {
    case 10001:
        return 932;
    case 10002:
        return 950;
    case 10003:
        return 949;
    case 10008:
        return 936;
    default:
        return codePage;
    }
}

const char16_t* FindSingleByte(int codePage) {
    for (std::size_t i = 0; i < detail::kSingleByteCodePageCount; ++i)
        if (detail::kSingleByteCodePages[i].number == codePage)
            return detail::kSingleByteCodePages[i].high;
    return nullptr;
}

const DoubleByteCodePage* FindDoubleByte(int codePage) {
    for (std::size_t i = 0; i < detail::kDoubleByteCodePageCount; ++i)
        if (detail::kDoubleByteCodePages[i].number == codePage)
            return &detail::kDoubleByteCodePages[i];
    return nullptr;
}

} // namespace

int CodePageForCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 78:
        return 932;
    case 79:
        return 949;
    case 80:
        return 936;
    case 81:
        return 950;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 87:
        return 874;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool IsKnownCodePage(int codePage) {
    codePage = CanonicalCodePage(codePage);
    return codePage == kSymbolCodePage || FindSingleByte(codePage) || FindDoubleByte(codePage);
}

void ByteDecoder::SetCodePage(int codePage) {
    codePage = CanonicalCodePage(codePage);
    if (codePage == codePage_ && (high_ || doubleByte_ || codePage == kSymbolCodePage))
        return;
    lead_ = 0;
    high_ = nullptr;
    doubleByte_ = nullptr;
    if (codePage == kSymbolCodePage) {
        codePage_ = codePage;
        return;
    }
    if (const auto* table = FindDoubleByte(codePage)) {
        codePage_ = codePage;
        doubleByte_ = table;
        high_ = table->high;
        return;
    }
    if (const char16_t* table = FindSingleByte(codePage)) {
        codePage_ = codePage;
        high_ = table;
        return;
    }
    codePage_ = 1252;
    high_ = FindSingleByte(1252);
}

char32_t ByteDecoder::Decode(std::uint8_t byte) {
    if (codePage_ == kSymbolCodePage)
        return byte < 0x20 ? char32_t{byte} : char32_t{kSymbol[byte - 0x20]};
    if (lead_ != 0) {
        const auto* table = static_cast<const DoubleByteCodePage*>(doubleByte_);
        std::uint8_t lead = lead_;
        lead_ = 0;
        if (byte >= table->trailLo && byte <= table->trailHi) {
            std::size_t row = lead - table->leadLo;
            std::size_t width = table->trailHi - table->trailLo + 1u;
            char16_t value = table->pairs[row * width + (byte - table->trailLo)];
            return value != 0 ? char32_t{value} : char32_t{kUndefinedChar};
        }
        // Not a trail byte: the lead byte had no character, and this byte stands alone.
        if (byte < 0x80)
            return byte;
    }
    if (byte < 0x80)
        return byte;
    char16_t value = high_[byte - 0x80];
    if (value == kLeadByte) {
        lead_ = byte;
        return kNoChar;
    }
    return value;
}

} // namespace cadhost::text
