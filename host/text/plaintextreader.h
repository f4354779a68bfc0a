// Reads a text file (not Rich Text) into the document model: one paragraph per line.
#pragma once

#include "text/textdocument.h"

#include <string_view>

namespace cadhost::text {

// The bytes are UTF-16 when DetectTextEncoding finds them so (by the byte order mark, or
// recognised without one), UTF-8 when they are well-formed UTF-8 (with or without a byte order
// mark), and Windows-1252 otherwise.  CR LF, CR and LF all end a line; a line break at the
// very end opens no further paragraph.  Control characters other than tab, NUL among them,
// show nothing and end nothing.
TextDocument ReadPlainText(std::string_view bytes);

} // namespace cadhost::text
