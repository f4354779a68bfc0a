// Decoding of the 8-bit text of Rich Text documents: which code page a font charset or a
// document names, and a byte decoder that turns the bytes of one code page into Unicode.
#pragma once

#include <cstdint>

namespace cadhost::text {

// Code page number for the symbol fonts' own encoding (charset 2): the bytes are glyph
// positions of the font (Symbol, Wingdings, ...), decoded to U+F000 + byte, the private-use
// characters at which Windows and LibreOffice place those glyphs.
inline constexpr int kSymbolCodePage = 42;

// The code page that a Windows font charset number stands for, or 0 when the charset does
// not name one (DEFAULT_CHARSET and unknown numbers: the document's code page applies).
int CodePageForCharset(int charset);

// True when text in this code page can be decoded here; others fall back to 1252.
bool IsKnownCodePage(int codePage);

// Decodes a byte stream of one code page, one byte at a time, so that the two bytes of a
// double-byte character may arrive from separate places of the input (a \'hh escape and a
// literal character).  Decode returns the Unicode scalar value finished by this byte, or
// kNoChar while a lead byte waits for its trail byte.
class ByteDecoder {
public:
    static constexpr char32_t kNoChar = 0xFFFFFFFF;

    explicit ByteDecoder(int codePage = 1252) { SetCodePage(codePage); }

    // Switching the code page drops a lead byte still waiting for its trail byte.
    void SetCodePage(int codePage);
    int CodePage() const { return codePage_; }

    char32_t Decode(std::uint8_t byte);

    // True while a lead byte waits; Reset forgets it (a lone lead byte has no character).
    bool Pending() const { return lead_ != 0; }
    void Reset() { lead_ = 0; }

    // Whether every byte below 0x80 decodes to itself, so ASCII text can be copied as is.
    bool AsciiTransparent() const { return codePage_ != kSymbolCodePage; }

private:
    int codePage_ = 1252;
    const char16_t* high_ = nullptr;
    const void* doubleByte_ = nullptr;
    std::uint8_t lead_ = 0;
};

} // namespace cadhost::text
