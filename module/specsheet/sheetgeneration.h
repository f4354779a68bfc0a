// Sheet generation: every entry of a sheet list becomes one item for the
// column layout.
#pragma once

#include "conversion/mtextrtf.h"

#include <string>
#include <vector>

class DivisionTable;

// The item of one sheet-list entry.  An entry that begins with a division's name is that
// division: its heading, placed as plain MText.  Any other entry is a file: its Rich Text,
// with the hanging indents fixed, translated to MText content and cut into pieces; a file
// that cannot be read gives an item of its path alone.
CMtextRtf MakeSheetItem(const std::string& entry, const DivisionTable& divisions);

// The host wraps its translation in one outer group: content that begins with "{" loses its
// first and its last character; other content stays as it is.
std::string WithoutOuterGroup(std::string content);
