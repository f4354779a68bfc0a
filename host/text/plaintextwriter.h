// Writes the plain text of a document: paragraphs and table rows end with a line feed
// (none after the last), table cells are separated by a tab.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace cadhost::text {

struct PlainTextOptions {
    bool includeHidden = false; // hidden text is left out, as a word processor prints it
};

std::string WritePlainText(const TextDocument& document, const PlainTextOptions& options = {});

} // namespace cadhost::text
