// The Rich Text writer: the document model as RTF 1.x, the way the rich edit control streams
// its contents out, so that the host's own reader (text/rtfreader.h) and word processors read
// the same document back.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace cadhost::text {

// Writes the whole document: the font table (every font of the document, \fN for
// document.fonts[N]), the colour table of the colours that runs use, the default size, then
// each paragraph with its formatting, runs and closing mark, and the rows of tables with
// their geometry.  Text outside ASCII is written as \'hh in code page 1252 where the run's
// font reads that code page and has the character, else as \uN.  Reading the result with
// ReadRtf gives back a document equal to one that ReadRtf made.
std::string WriteRtf(const TextDocument& document);

} // namespace cadhost::text
