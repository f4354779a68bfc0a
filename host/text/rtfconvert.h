// The host's translation of Rich Text into MText content, as an MText entity's
// setContentsRTF does it, and the plain text of the same document.
#pragma once

#include "text/textdocument.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cadhost::text {

// Rich Text (or any bytes) in, MText content out; never throws, never fails.  Bytes that are
// not Rich Text are taken as a text file: its lines become paragraphs.  Empty input gives
// empty content.  The content holds no NUL, so a C string carries all of it.
std::string RtfToMText(std::string_view rtf);

// The plain text of a document (for tests and for the rich edit stand-in later).
std::string RtfToPlainText(std::string_view rtf);

// Where the Rich Text starts in `bytes`, or npos when they are not Rich Text.  A byte order
// mark, white space and a few stray bytes on the first line may stand before "{\rtf".
std::size_t FindRtfStart(std::string_view bytes);

// Reads Rich Text, or a text file when the bytes are not Rich Text; either may be in UTF-16 and
// hold NUL bytes (see TextBytesWithoutNul).
TextDocument ReadDocument(std::string_view bytes);

// False when the bytes are no document ReadDocument should be given: binary data, such as a
// word processor's own files (see IsBinaryData), that is not Rich Text.
bool IsTextDocument(std::string_view bytes);

} // namespace cadhost::text
