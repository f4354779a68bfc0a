// The Rich Text reader: RTF 1.x syntax into the document model.
#pragma once

#include "text/textdocument.h"

#include <string_view>

namespace cadhost::text {

// How the characters written into Rich Text as they are (not as \'hh or \u escapes) are
// encoded: in the code page of their font or document, as Rich Text has them, or in UTF-8, as
// in a file that says so with UTF-8's byte order mark.
enum class RtfLiterals { CodePage, Utf8 };

// Reads a Rich Text document that starts at the first byte of `rtf` (its "{\rtf" group).
// Never fails and never throws for any input: damaged input (unbalanced groups, a file cut
// short, binary garbage, NUL bytes) gives the document read up to the damage, and text after
// the document's closing brace is ignored.
TextDocument ReadRtf(std::string_view rtf, RtfLiterals literals = RtfLiterals::CodePage);

} // namespace cadhost::text
