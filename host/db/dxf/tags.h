// The tag layer of DXF files: a file is a sequence of tags, each a group code line and a
// value line.  Nothing here knows of entities or sections.
#pragma once

#include "db/resbufkind.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

// A tag whose value is seen where it lies: in a file's text, or in a string that outlives
// the view.
struct TagView {
    int code = 0;
    std::string_view value;
    int line = 0;

    bool is(int c, std::string_view v) const { return code == c && value == v; }
};

// Reads a file's text one tag at a time, without copying values.  Lines end with LF or
// CR LF; a group code may carry blanks around it.  A group code that is not an integer, or
// text that ends between a code and its value, stops the reading with "line N: ...".
class TagScanner {
public:
    // Reads text from `from` on; `linesBefore` lines lie before it.
    explicit TagScanner(std::string_view text, std::size_t from = 0, int linesBefore = 0)
        : m_text(text), m_pos(from), m_line(linesBefore) {}

    // The next tag; false at the end of the text or at a broken tag (then failed()).
    bool next(TagView& tag);
    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }

    // Where the tag read last begins (its group code line) and where the next one begins.
    std::size_t tagStart() const { return m_tagStart; }
    std::size_t position() const { return m_pos; }
    // Whether the two lines of the tag read last are exactly what AppendTag writes for it.
    bool inWriterForm() const { return m_writerForm; }
    // The lines read so far.
    int lines() const { return m_line; }

private:
    bool fail(std::string message);
    // Reads the value line at valuePos of a tag whose code line has been read.
    bool valueLine(TagView& tag, int code, std::size_t valuePos, bool codeInWriterForm);

    std::string_view m_text;
    std::size_t m_pos;
    std::size_t m_tagStart = 0;
    int m_line;
    bool m_writerForm = false;
    std::string m_error;
};

// Splits the text of a file into tags (see TagScanner; a byte order mark at the start is
// skipped).  Fails with "line N: ..." when a group code is not an integer or the text ends
// between a code and its value.
bool ReadTags(std::string_view text, Tags& tags, std::string& error);

// Whether the text begins as a DXF file does: group 0 SECTION, after any 999 comments.
bool BeginsAsDxf(std::string_view text);
// The text without the UTF-8 byte order mark it may begin with, which is no part of its
// first group code.
std::string_view WithoutByteOrderMark(std::string_view text);

// Appends one tag as AutoCAD lays it out: the code right-aligned in three columns.
void AppendTag(std::string& out, int code, std::string_view value);
// Appends tags one after the other as AppendTag lays them out: a compact copy of the tags
// that reads back as the same tags (a CR at the end of a value included).  The rare value
// with a line feed (a decoded \U+000A) or a byte 01 has them escaped as 01 'n' and 01 01;
// other layouts are the very text a file holds for the tags.
void AppendTags(std::string& out, const Tags& tags);
// One tag of such a layout.  A value that is a line of a file holds no line feed: fromLine
// spares the look for one.
void AppendLaidOutTag(std::string& out, int code, std::string_view value, bool fromLine = false);
// Whether a layout is the text of its tags as AppendTag writes them (nothing escaped).
bool IsPlainLayout(std::string_view layout);
// The tags of a layout made by AppendTag / AppendTags, one at a time.  A literal layout is
// text of a file in the form AppendTag writes: its values hold no escapes (a byte 01 is
// itself).
class LaidOutTags {
public:
    explicit LaidOutTags(std::string_view layout, bool literal = false)
        : m_rest(layout), m_literal(literal) {}
    // The next tag (its line is 0; its value lives until the next call); false at the end.
    bool next(TagView& tag);

private:
    std::string_view m_rest;
    bool m_literal;
    std::string m_value; // an escaped value, unescaped
};
// All the tags of such a layout.
Tags TagsOfLayout(std::string_view layout, bool literal = false);
// The same as views into a plain or literal layout (IsPlainLayout), which must outlive them,
// in place of what views held.
void ViewsOfPlainLayout(std::string_view layout, bool literal, std::vector<TagView>& views);
// A literal layout made a layout that AppendTags would make of its tags.
std::string LayoutOfLiteral(std::string_view literal);
// Views of tags, which must outlive them.
std::vector<TagView> ViewsOf(const Tags& tags);
// The group code line of a tag, without its line end, into buffer (8 bytes are enough);
// answers its length.
std::size_t FormatCode(int code, char* buffer);

namespace detail {

// What a group code's value is: bit 1 a number, bit 2 a real.
constexpr std::uint8_t CodeKindBits(int code) {
    const ValueKind kind = KindOf(code);
    const bool real = kind == ValueKind::Real || kind == ValueKind::Point ||
                      (code >= 10 && code <= 39) || (code >= 1010 && code <= 1059);
    const bool numeric =
        real || kind == ValueKind::Short || kind == ValueKind::Long || kind == ValueKind::Int64;
    return static_cast<std::uint8_t>((numeric ? 1 : 0) | (real ? 2 : 0));
}

// The same by code for the codes files use (every tag read asks); others are worked out.
inline constexpr int kTabledCodes = cadhost::db::detail::kTabledKinds;
inline constexpr std::array<std::uint8_t, kTabledCodes> kCodeKinds = [] {
    std::array<std::uint8_t, kTabledCodes> kinds{};
    for (int code = 0; code < kTabledCodes; ++code)
        kinds[static_cast<std::size_t>(code)] = CodeKindBits(code);
    return kinds;
}();

constexpr std::uint8_t CodeKind(int code) {
    return code >= 0 && code < kTabledCodes ? kCodeKinds[static_cast<std::size_t>(code)]
                                            : CodeKindBits(code);
}

} // namespace detail

// Whether a group code's value is a number (real or integer), so its text must parse as one.
constexpr bool IsNumericCode(int code) {
    return (detail::CodeKind(code) & 1) != 0;
}
constexpr bool IsRealCode(int code) {
    return (detail::CodeKind(code) & 2) != 0;
}
// The value of a real / integer tag; false when its text is not a number.
bool ParseReal(std::string_view text, double& value);
bool ParseInteger(std::string_view text, long long& value);
// Whether the text of a numeric tag parses as a number: ParseReal's answer, without the
// value.
bool IsNumberText(std::string_view text);
// The shortest text that reads back as the same double.
std::string FormatReal(double value);
// The same into buffer (32 bytes are enough); answers its length.
std::size_t FormatReal(double value, char* buffer);

} // namespace cadhost::db::dxf
