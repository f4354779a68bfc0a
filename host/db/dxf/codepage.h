// Text encodings of DXF files.  Before AC1021 a file's text is in the code page of its
// $DWGCODEPAGE, with characters outside it written as \U+XXXX; from AC1021 on it is UTF-8.
// Inside the host text is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace cadhost::db::dxf {

// Whether files of this $ACADVER hold UTF-8.
bool IsUnicodeVersion(std::string_view version);

// From the file's bytes to UTF-8: code page bytes are mapped and \U+XXXX escapes decoded.
// Code pages other than ANSI_1252 map each byte to the character of the same number, so
// that text in them comes back byte for byte when written in the same code page.
std::string DecodeCodePage(std::string_view bytes, std::string_view codePage);
// Whether every byte is below 0x80.
bool IsAscii(std::string_view bytes);
// Whether DecodeCodePage may answer anything but the bytes themselves: they hold a byte
// beyond ASCII or a \U+XXXX escape (a lone surrogate's stays as it is).  False: they stay.
bool DecodingChanges(std::string_view bytes);
// From UTF-8 to the file's bytes in the code page; what the code page cannot hold (and
// bytes that are not UTF-8) goes out as \U+XXXX.
std::string EncodeCodePage(std::string_view utf8, std::string_view codePage);

} // namespace cadhost::db::dxf
