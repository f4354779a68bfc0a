// The text side of the division catalogue: the built-in headings, the plain text of an MText
// heading, and the reading of headings from the catalogue file's lines and from the text of
// the catalogue editor.  Standard library only, so that it can be driven without a host.
//
// A catalogue is two parallel lists: headings (MText content strings) and, at the same index,
// each heading's plain name.  Every function here that fills them keeps them the same length
// and never adds a heading whose plain name is empty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The number of built-in headings, and the heading at an index below it.
inline constexpr std::size_t kBuiltInDivisionCount = 18;
const std::string& BuiltInDivisionHeading(std::size_t index);

// The plain text of an MText content string: formatting codes and their arguments, and
// braces, are left out.  The result goes to plain (replacing what it held) and its length is
// returned.  Codes are recognised from a fixed table; a backslash before a letter the table
// does not know is dropped and the letter kept.
std::size_t MTextToPlain(std::string_view content, std::string& plain);
std::string MTextToPlain(std::string_view content);

// The text without the spaces, tabs, carriage returns and line feeds at either end.
std::string_view TrimDivisionText(std::string_view text);
// The heading without the line feeds, carriage returns and spaces at its end, as it is
// written to the file.
std::string_view TrimHeadingEnd(std::string_view heading);

// The editor's text cut into headings: line ends are dropped, and each item runs up to and
// including the next "}".  What follows the last "}" is not an item.
std::vector<std::string> SplitHeadingItems(std::string_view text);

// Appends the candidate, trimmed, and its plain name, unless the name is empty.  True when it
// was appended.
bool AppendDivision(std::vector<std::string>& headings, std::vector<std::string>& names,
                    std::string_view candidate);
// Replaces both lists with the built-in headings and their names.
void DefaultDivisions(std::vector<std::string>& headings, std::vector<std::string>& names);
// Replaces both lists with the headings of a catalogue file's text, one per line.
void DivisionsFromLines(std::string_view text, std::vector<std::string>& headings,
                        std::vector<std::string>& names);
// Replaces both lists with the items of the editor's text (see SplitHeadingItems).
void DivisionsFromItems(std::string_view text, std::vector<std::string>& headings,
                        std::vector<std::string>& names);
// What the catalogue file holds for the headings: each one, its end trimmed, and "\n".
std::string DivisionFileText(const std::vector<std::string>& headings);
// The index of the first name the entry begins with (exactly, case-sensitive), or -1.
int FindDivisionPrefix(const std::vector<std::string>& names, std::string_view entry);
