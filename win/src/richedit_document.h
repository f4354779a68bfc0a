// The rich edit control's view of its document: positions counted in characters, the way the
// control counts them (the visible characters of each paragraph, and one for each break
// between paragraphs), and edits made on those positions that keep the formatting of the
// text they do not touch.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace win::richedit {

using cadhost::text::CharFormat;
using cadhost::text::TextDocument;

// The number of characters of UTF-8 text.
long CharCount(const std::string& utf8);
// The byte offset of the character at `chars` (the end when the text is shorter).
std::size_t ByteOffset(const std::string& utf8, long chars);

// The characters of a paragraph: its runs that are not hidden.
long ParagraphLength(const cadhost::text::Paragraph& paragraph);
// The plain text as the control counts it: paragraphs separated by one "\r".
std::string Text(const TextDocument& document);
long Length(const TextDocument& document);

// Where a character position lies: a paragraph and the characters before it in that
// paragraph.  A position past the end is the end of the last paragraph.
struct Place {
    std::size_t paragraph = 0;
    long offset = 0;
};
Place PlaceOf(const TextDocument& document, long position);

// The format text typed at a position takes: that of the character before it in its
// paragraph, else of the paragraph's first character, else of the nearest text before it,
// else of the nearest after it, else the document's default.
CharFormat FormatAt(const TextDocument& document, long position);

// Replaces the characters [from, to) by `text`, whose "\r" or "\n" (a "\r\n" counting as one)
// start new paragraphs that keep the format of the paragraph they split.  The inserted
// characters take the format the position `from` gives; everything outside the range keeps
// its own.  Paragraphs joined by a deleted break keep the first one's format.
void Replace(TextDocument& document, long from, long to, const std::string& text);

// Cuts the document after `limit` characters.
void Truncate(TextDocument& document, long limit);

} // namespace win::richedit
