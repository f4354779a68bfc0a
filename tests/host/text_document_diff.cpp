#include "text_document_diff.h"

#include <sstream>

namespace text_test {
namespace {

using namespace cadhost::text;

std::string Show(const FontFace& face) {
    std::ostringstream out;
    out << '"' << face.name << "\" charset " << face.charset << " pitch/family 0x" << std::hex
        << face.pitchAndFamily;
    return out.str();
}

std::string Show(const TableRow& row) {
    std::ostringstream out;
    out << "left " << row.left << " cells";
    for (int edge : row.cellRightEdges)
        out << ' ' << edge;
    return out.str();
}

std::string Show(const ParagraphFormat& format) {
    std::ostringstream out;
    out << "fi " << format.firstIndent << " li " << format.leftIndent << " ri "
        << format.rightIndent << " sb " << format.spaceBefore << " sa " << format.spaceAfter
        << " align " << static_cast<int>(format.alignment) << " tabs";
    for (const auto& tab : format.tabs)
        out << ' ' << tab.position << '/' << static_cast<int>(tab.alignment);
    return out.str();
}

std::string Show(const Run& run) {
    const CharFormat& f = run.format;
    std::ostringstream out;
    out << "f" << f.font << " fs" << f.halfPoints << (f.bold ? " b" : "") << (f.italic ? " i" : "")
        << (f.underline ? " ul" : "") << (f.strike ? " strike" : "") << (f.hidden ? " v" : "");
    if (f.hasColor)
        out << " rgb(" << int{f.color.red} << ',' << int{f.color.green} << ',' << int{f.color.blue}
            << ')';
    if (f.vertical != VerticalPosition::Baseline)
        out << (f.vertical == VerticalPosition::Superscript ? " super" : " sub");
    out << " \"" << run.text << '"';
    return out.str();
}

template <typename T>
std::string Either(const std::string& what, const T& expected, const T& actual) {
    return what + "\n  expected: " + Show(expected) + "\n  actual:   " + Show(actual);
}

std::string Count(const std::string& what, std::size_t expected, std::size_t actual) {
    return what + ": " + std::to_string(expected) + " expected, " + std::to_string(actual) +
           " actual";
}

} // namespace

std::string FirstDifference(const TextDocument& expected, const TextDocument& actual) {
    for (std::size_t i = 0; i < expected.fonts.size() && i < actual.fonts.size(); ++i)
        if (!(expected.fonts[i] == actual.fonts[i]))
            return Either("font " + std::to_string(i), expected.fonts[i], actual.fonts[i]);
    if (expected.fonts.size() != actual.fonts.size())
        return Count("fonts", expected.fonts.size(), actual.fonts.size());
    if (expected.defaultHalfPoints != actual.defaultHalfPoints)
        return Count("default half-points", static_cast<std::size_t>(expected.defaultHalfPoints),
                     static_cast<std::size_t>(actual.defaultHalfPoints));
    for (std::size_t i = 0; i < expected.rows.size() && i < actual.rows.size(); ++i)
        if (!(expected.rows[i] == actual.rows[i]))
            return Either("row " + std::to_string(i), expected.rows[i], actual.rows[i]);
    if (expected.rows.size() != actual.rows.size())
        return Count("rows", expected.rows.size(), actual.rows.size());
    const auto& a = expected.paragraphs;
    const auto& b = actual.paragraphs;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        std::string at = "paragraph " + std::to_string(i);
        if (!(a[i].format == b[i].format))
            return Either(at + " format", a[i].format, b[i].format);
        if (a[i].end != b[i].end || a[i].tableLevel != b[i].tableLevel || a[i].row != b[i].row)
            return at + " end/level/row: expected " + std::to_string(static_cast<int>(a[i].end)) +
                   "/" + std::to_string(a[i].tableLevel) + "/" + std::to_string(a[i].row) +
                   ", actual " + std::to_string(static_cast<int>(b[i].end)) + "/" +
                   std::to_string(b[i].tableLevel) + "/" + std::to_string(b[i].row);
        for (std::size_t r = 0; r < a[i].runs.size() && r < b[i].runs.size(); ++r)
            if (!(a[i].runs[r] == b[i].runs[r]))
                return Either(at + " run " + std::to_string(r), a[i].runs[r], b[i].runs[r]);
        if (a[i].runs.size() != b[i].runs.size())
            return Count(at + " runs", a[i].runs.size(), b[i].runs.size());
    }
    if (a.size() != b.size())
        return Count("paragraphs", a.size(), b.size());
    return expected == actual ? "" : "documents differ in a part not told here";
}

} // namespace text_test
