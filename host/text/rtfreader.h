// The Rich Text reader: RTF 1.x syntax into the document model.
#pragma once

#include "text/textdocument.h"

#include <string_view>

namespace cadhost::text {

// Reads a Rich Text document that starts at the first byte of `rtf` (its "{\rtf" group).
// Never fails and never throws for any input: damaged input (unbalanced groups, a file cut
// short, binary garbage) gives the document read up to the damage, and text after the
// document's closing brace is ignored.
TextDocument ReadRtf(std::string_view rtf);

} // namespace cadhost::text
