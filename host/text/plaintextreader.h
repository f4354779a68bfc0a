// Reads a text file (not Rich Text) into the document model: one paragraph per line.
#pragma once

#include "text/textdocument.h"

#include <string_view>

namespace cadhost::text {

// The bytes are decoded as TextToUtf8 decodes them (UTF-16, UTF-8 or Windows-1252).  CR LF,
// CR and LF all end a line; a line break at the very end opens no further paragraph.  Control
// characters other than tab show nothing and end nothing.
TextDocument ReadPlainText(std::string_view bytes);

} // namespace cadhost::text
