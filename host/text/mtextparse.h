// MText content as paragraphs of runs with their formatting resolved: what the content shows,
// for listing, plain-text views and tests.  The layout reads the same content through
// MTextReader directly.
#pragma once

#include "text/mtextformat.h"

#include <string>
#include <string_view>
#include <vector>

namespace cadhost::text {

struct MTextRun {
    enum class Kind : std::uint8_t { Text, Tab, LineBreak, Stack };
    Kind kind = Kind::Text;
    std::string text;       // Text: UTF-8; Stack: the upper part
    std::string lower;      // Stack: the lower part
    char stackType = 0;     // Stack: '/', '#', '^', or 0 without a lower part
    MTextCharFormat format; // format.font indexes ParsedMText::fonts
};

struct MTextParagraph {
    // The format in force where the paragraph's first visible content (or, for an empty
    // paragraph, its end) stands; a paragraph code after visible text takes effect from the
    // next paragraph on.
    MTextParagraphFormat format;
    std::vector<MTextRun> runs;
};

struct ParsedMText {
    std::vector<MTextFontRequest> fonts;
    // None for a content without any visible character or break; a content ending with a
    // paragraph break ends with an empty paragraph.
    std::vector<MTextParagraph> paragraphs;
};

// `textHeight` is the entity's text height, `styleFont` the font of its text style.
ParsedMText ParseMText(std::string_view contents, double textHeight,
                       std::string_view styleFont = "Arial");

// The text alone: paragraphs and line breaks as "\n", tabs as TAB, a stack as upper part,
// separator and lower part ("1/2"), the non-breaking space as U+00A0.
std::string PlainText(const ParsedMText& parsed);

} // namespace cadhost::text
