// Small edits and reads of MText content that the column layout needs at column tops and cuts.
#pragma once

#include <string>

// Removes the paragraph breaks "\P" that stand before the first visible character of the
// content, among braces and font, paragraph and height codes, so that a column does not open
// with empty lines.  Any other code (\L, \O, \C ...) or visible character ends the removal.  A
// break right after the ";" of a finished code ends it too, once that break is gone: of two
// breaks after a code only the first goes, while breaks after "{", at the very start or after
// each other all go.
void RemoveLeadingBreaks(std::string& content);

// The paragraph indents in force at the end of the content: the first-line indent ("\pi<v>"),
// the tab stop ("\pt<v>") and the left indent ("\pl<v>") of the last paragraph codes that set
// them.  A string that no code of the content sets keeps the value passed in; a code that names
// a letter without a value empties its string.
void ParagraphCodesAtEnd(const std::string& content, std::string& firstIndent, std::string& tabs,
                         std::string& leftIndent);
