// How the bytes of a text file are taken as text: which encoding they are in, whether they are
// text at all, and the same text as bytes without a zero byte, for interfaces that take a C
// string.  Every reader of text files (Rich Text or plain) decides here.
#pragma once

#include <string>
#include <string_view>

namespace cadhost::text {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

enum class TextEncoding {
    Narrow,  // one byte a unit: UTF-8 or a code page, as the reader of the text decides
    Utf16LE, // little-endian UTF-16, the usual one
    Utf16BE,
};

// UTF-16 when the bytes start with its byte order mark (FF FE or FE FF).  Without one, UTF-16
// when they read as UTF-16 of mostly Latin text: an even count of bytes, one byte of most
// pairs zero and always the same one, and few control characters once decoded.  Narrow
// otherwise, which is also what empty input and NUL-heavy binary data are.
TextEncoding DetectTextEncoding(std::string_view bytes);

// UTF-16 code units to UTF-8, a byte order mark at the start left out.  An unpaired surrogate
// becomes U+FFFD and an odd last byte is dropped; NUL characters are kept.
std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian);

// True when the bytes are no text file: a compound document or zip container (the files of
// word processors and office suites), a PDF file, or narrow data in which control bytes are
// too many for text (at least eight of them, and more than one byte in 32).  UTF-16 is text.
bool IsBinaryData(std::string_view bytes);

// The text of a text file in UTF-8: UTF-16 (see DetectTextEncoding) and UTF-8 with their byte
// order marks left out, Windows-1252 when the bytes are no well-formed UTF-8.  NUL characters
// are left out.
std::string TextToUtf8(std::string_view bytes);

// The bytes with the text they hold and no zero byte, so that a C string carries all of it.
// UTF-16 becomes UTF-8, behind UTF-8's byte order mark when it has characters beyond ASCII so
// that readers take it as UTF-8.  A NUL character, which has no place in text, is left out, as
// readers leave out other control characters; narrow bytes are otherwise kept as they are.
std::string TextBytesWithoutNul(std::string_view bytes);

} // namespace cadhost::text
