// Where two text documents differ, told in a line or two for a test's failure message.
#pragma once

#include "text/textdocument.h"

#include <string>

namespace text_test {

// "" when the documents are equal; otherwise the first differing part (a font, a row, a
// paragraph's format, end, level, row or a run) with both sides spelled out.
std::string FirstDifference(const cadhost::text::TextDocument& expected,
                            const cadhost::text::TextDocument& actual);

} // namespace text_test
