// Writes the plain text of a document: paragraphs and table rows end with a line feed
// (none after the last), table cells are separated by a tab.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace cadhost::text {

std::string WritePlainText(const TextDocument& document);

} // namespace cadhost::text
