// Writes a document as MText content (the in-line format of an MText entity's contents).
// host/text/MTEXT_MAPPING.md describes the codes and units.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace cadhost::text {

// The size and font that most of the document's text has: heights and lengths in the
// content are written relative to this size, which the entity's text height stands for.
struct BodyText {
    int halfPoints = 24;
    int font = 0;
};
BodyText FindBodyText(const TextDocument& document);

// The whole content in one brace group, starting with the body font and height codes.
// Hidden text and trailing empty paragraphs are left out, so a document without visible
// text gives the group with those codes alone.
std::string WriteMText(const TextDocument& document);

} // namespace cadhost::text
