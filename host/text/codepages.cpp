#include "text/codepages.h"

#include "text/codepagetables.h"

namespace cadhost::text {
namespace {

using detail::DoubleByteCodePage;
using detail::kLeadByte;
using detail::kUndefinedChar;

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
    // Symbol fonts show their glyphs at U+F020..U+F0FF (where Windows maps them), so the
    // character keeps the glyph it had in that font.
    if (codePage_ == kSymbolCodePage)
        return byte < 0x20 ? char32_t{byte} : char32_t{0xF000u + byte};
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
