// The tag layer of DXF files: a file is a sequence of tags, each a group code line and a
// value line.  Nothing here knows of entities or sections.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cadhost::db::dxf {

struct Tag {
    int code = 0;
    std::string value;
    int line = 0; // the line of the group code in the file read (0 for tags made here)

    bool operator==(const Tag& other) const { return code == other.code && value == other.value; }
    bool is(int c, std::string_view v) const { return code == c && value == v; }
};

using Tags = std::vector<Tag>;

// Splits the text of a file into tags.  Lines end with LF or CR LF; a group code may carry
// blanks around it.  Fails with "line N: ..." when a group code is not an integer or the
// text ends between a code and its value.
bool ReadTags(std::string_view text, Tags& tags, std::string& error);

// Whether the text begins as a DXF file does: group 0 SECTION, after any 999 comments.
bool BeginsAsDxf(std::string_view text);

// Appends one tag as AutoCAD lays it out: the code right-aligned in three columns.
void AppendTag(std::string& out, int code, std::string_view value);

// Whether a group code's value is a number (real or integer), so its text must parse as one.
bool IsNumericCode(int code);
bool IsRealCode(int code);
// The value of a real / integer tag; false when its text is not a number.
bool ParseReal(std::string_view text, double& value);
bool ParseInteger(std::string_view text, long long& value);
// The shortest text that reads back as the same double.
std::string FormatReal(double value);

} // namespace cadhost::db::dxf
