// Reading and writing the lines of tags.
#include "db/dxf/tags.h"

#include "db/resbufkind.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace cadhost::db::dxf {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The next line without its end; false at the end of the text.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size())
        return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
        end = text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = end + 1;
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

std::string Shown(std::string_view s) {
    std::string out;
    for (char c : s.substr(0, 40))
        out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out;
}

} // namespace

bool ReadTags(std::string_view text, Tags& tags, std::string& error) {
    tags.clear();
    // A byte order mark is no part of the first group code.
    text = WithoutByteOrderMark(text);
    std::size_t pos = 0;
    int lineNo = 0;
    std::string_view codeLine, valueLine;
    while (NextLine(text, pos, codeLine)) {
        ++lineNo;
        std::string_view digits = Trim(codeLine);
        if (digits.empty() && pos >= text.size())
            break; // a last empty line after the final value
        long long code = 0;
        if (!ParseInteger(digits, code) || code < -32768 || code > 32767) {
            error = "line " + std::to_string(lineNo) + ": group code expected, found \"" +
                    Shown(codeLine) + "\"";
            return false;
        }
        if (!NextLine(text, pos, valueLine)) {
            error = "line " + std::to_string(lineNo) + ": group code " + std::to_string(code) +
                    " without a value (the file is cut short)";
            return false;
        }
        ++lineNo;
        tags.push_back(Tag{static_cast<int>(code), std::string(valueLine), lineNo - 1});
    }
    return true;
}

bool BeginsAsDxf(std::string_view text) {
    text = WithoutByteOrderMark(text);
    std::size_t pos = 0;
    std::string_view code, value;
    while (NextLine(text, pos, code) && NextLine(text, pos, value)) {
        if (Trim(code) != "999")
            return Trim(code) == "0" && Trim(value) == "SECTION";
    }
    return false;
}

void AppendTag(std::string& out, int code, std::string_view value) {
    std::string digits = std::to_string(code);
    if (digits.size() < 3)
        out.append(3 - digits.size(), ' ');
    out += digits;
    out += '\n';
    out += value;
    out += '\n';
}

bool IsRealCode(int code) {
    return KindOf(code) == ValueKind::Real || KindOf(code) == ValueKind::Point ||
           (code >= 10 && code <= 39) || (code >= 1010 && code <= 1059);
}

bool IsNumericCode(int code) {
    switch (KindOf(code)) {
    case ValueKind::Real:
    case ValueKind::Point:
    case ValueKind::Short:
    case ValueKind::Long:
    case ValueKind::Int64:
        return true;
    default:
        return IsRealCode(code);
    }
}

bool ParseReal(std::string_view text, double& value) {
    text = Trim(text);
    if (text.empty())
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseInteger(std::string_view text, long long& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string FormatReal(double value) {
    if (!std::isfinite(value))
        return "0.0";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

} // namespace cadhost::db::dxf
