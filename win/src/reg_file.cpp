#include "reg_file.h"

#include "text/hexdigit.h"

#include <cstdio>
#include <optional>

namespace win::detail {

namespace {

constexpr DWORD kRegSz = 1;
constexpr DWORD kRegDword = 4;
constexpr DWORD kRegBinary = 3;
constexpr std::size_t kWrapColumn = 76;

// --- writing ---------------------------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// True for REG_SZ data that reads back the same from a quoted string: one terminating zero,
// no other zero, no line breaks or other control characters.
bool IsPlainText(const std::vector<BYTE>& data) {
    if (data.empty() || data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if ((data[i] < 0x20 && data[i] != '\t') || data[i] == 0x7F)
            return false;
    return true;
}

void AppendHex(std::string& out, std::size_t lineStart, DWORD type, const std::vector<BYTE>& data) {
    char prefix[24];
    if (type == kRegBinary)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    out += prefix;
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02x", data[i]);
        std::size_t width = i + 1 < data.size() ? 3 : 2;
        if (column + width > kWrapColumn) {
            out += "\\\n  ";
            column = 2;
        }
        out += piece;
        if (i + 1 < data.size())
            out += ',';
        column += width;
    }
}

void AppendValue(std::string& out, const RegValue& value) {
    std::size_t lineStart = out.size();
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    if (value.type == kRegSz && IsPlainText(value.data)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        char text[20];
        unsigned number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                          (static_cast<unsigned>(value.data[3]) << 24);
        std::snprintf(text, sizeof text, "dword:%08x", number);
        out += text;
    } else {
        AppendHex(out, lineStart, value.type, value.data);
    }
    out += '\n';
}

void AppendKey(std::string& out, const RegKey& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.Values().empty()) {
        out += '[';
        out += path;
        out += "]\n";
        for (const RegValue& value : key.Values())
            AppendValue(out, value);
        out += '\n';
    }
    for (const auto& [folded, subkey] : key.Subkeys())
        AppendKey(out, *subkey, path + "\\" + subkey->Name(), false);
}

// --- reading ---------------------------------------------------------------------------

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<unsigned long> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    unsigned long value = 0;
    for (char c : text) {
        int digit = cadhost::text::HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    return value;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

// The physical lines of the file, each without its line end.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_text.remove_prefix(3);
    }
    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = end + 1;
        ++m_number;
        return true;
    }
    int Number() const { return m_number; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_number = 0;
};

class Parser {
public:
    Parser(std::string_view text, Hive& hive) : m_lines(text), m_hive(hive) {}

    bool Run(std::string& error) {
        std::string_view line;
        bool sawHeader = false;
        while (m_lines.Next(line)) {
            m_lineNumber = m_lines.Number();
            std::string_view trimmed = Trim(line);
            if (!sawHeader) {
                if (trimmed.empty())
                    continue;
                if (trimmed != "REGEDIT4")
                    return Fail(error, "the file does not begin with REGEDIT4");
                sawHeader = true;
                continue;
            }
            if (trimmed.empty() || trimmed.front() == ';')
                continue;
            bool ok = trimmed.front() == '[' ? Section(trimmed)
                      : (trimmed.front() == '@' || trimmed.front() == '"')
                          ? Value(trimmed)
                          : Problem("unexpected text");
            if (!ok)
                return Fail(error, m_problem);
        }
        if (!sawHeader) {
            m_lineNumber = m_lines.Number() > 0 ? m_lines.Number() : 1;
            return Fail(error, "the file does not begin with REGEDIT4");
        }
        return true;
    }

private:
    bool Fail(std::string& error, const std::string& what) {
        error = "line " + std::to_string(m_lineNumber) + ": " + what;
        return false;
    }
    bool Problem(std::string what) {
        m_problem = std::move(what);
        return false;
    }

    bool Section(std::string_view line) {
        if (line.back() != ']')
            return Problem("a key line must end with \"]\"");
        std::string_view path = line.substr(1, line.size() - 2);
        if (!path.empty() && path.front() == '-')
            return Problem("key deletions (\"[-...]\") cannot appear in a hive file");
        std::size_t slash = path.find('\\');
        std::string_view root = path.substr(0, slash);
        if (root.empty())
            return Problem("the key line names no root key");
        if (m_hive.rootName.empty() && !root.empty())
            m_hive.rootName = std::string(root);
        if (!SameName(root, m_hive.rootName))
            return Problem("the key is not under " +
                           (m_hive.rootName.empty() ? std::string("a root key") : m_hive.rootName));
        RegKey* key = &m_hive.root;
        while (slash != std::string_view::npos) {
            std::size_t next = path.find('\\', slash + 1);
            std::string_view name =
                path.substr(slash + 1, next == std::string_view::npos ? std::string_view::npos
                                                                      : next - slash - 1);
            if (!IsValidKeyName(name))
                return Problem(name.empty() ? "a key name is empty"
                                            : "a key name is too long or has control characters");
            key = &key->AddSubkey(name);
            slash = next;
        }
        m_current = key;
        return true;
    }

    // A quoted string at the start of text; rest receives what follows the closing quote.
    bool QuotedString(std::string_view text, std::string& out, std::string_view& rest) {
        out.clear();
        for (std::size_t i = 1; i < text.size(); ++i) {
            char c = text[i];
            if (c == '"') {
                rest = text.substr(i + 1);
                return true;
            }
            if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
                c = text[++i];
            out += c;
        }
        return Problem("a quoted string has no closing quote");
    }

    bool Value(std::string_view line) {
        if (!m_current)
            return Problem("a value comes before any key");
        std::string name;
        std::string_view rest;
        if (line.front() == '@') {
            rest = line.substr(1);
        } else if (!QuotedString(line, name, rest)) {
            return false;
        }
        if (!IsValidValueName(name))
            return Problem("a value name is too long or has control characters");
        rest = Trim(rest);
        if (rest.empty() || rest.front() != '=')
            return Problem("\"=\" is missing after the value name");
        rest = Trim(rest.substr(1));

        DWORD type = 0;
        std::vector<BYTE> data;
        if (!rest.empty() && rest.front() == '"') {
            std::string text;
            std::string_view after;
            if (!QuotedString(rest, text, after))
                return false;
            if (!Trim(after).empty())
                return Problem("unexpected text after a quoted string");
            type = kRegSz;
            data.assign(text.begin(), text.end());
            data.push_back(0);
        } else if (StartsWithNoCase(rest, "dword:")) {
            std::optional<unsigned long> number = ParseHexNumber(Trim(rest.substr(6)), 8);
            if (!number)
                return Problem("a dword value needs 1 to 8 hexadecimal digits");
            type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                data.push_back(static_cast<BYTE>(*number >> shift));
        } else if (StartsWithNoCase(rest, "hex")) {
            if (!HexValue(rest, type, data))
                return false;
        } else if (rest == "-") {
            return Problem("value deletions (\"=-\") cannot appear in a hive file");
        } else {
            return Problem("the value's type is not one of \"...\", dword:, hex:, hex(n):");
        }
        m_current->SetValue(name, type, std::move(data));
        return true;
    }

    bool HexValue(std::string_view text, DWORD& type, std::vector<BYTE>& data) {
        text.remove_prefix(3);
        type = kRegBinary;
        if (!text.empty() && text.front() == '(') {
            std::size_t close = text.find(')');
            std::optional<unsigned long> number =
                close == std::string_view::npos ? std::nullopt
                                                : ParseHexNumber(text.substr(1, close - 1), 8);
            if (!number)
                return Problem("hex(n) needs a hexadecimal type number n");
            type = static_cast<DWORD>(*number);
            text.remove_prefix(close + 1);
        }
        if (text.empty() || text.front() != ':')
            return Problem("\":\" is missing after hex");
        std::string bytes(Trim(text.substr(1)));
        // Continued lines: a trailing "\" joins the next line, without its leading blanks.
        while (!bytes.empty() && bytes.back() == '\\') {
            bytes.pop_back();
            std::string_view next;
            if (!m_lines.Next(next))
                return Problem("the hex data goes on past the end of the file");
            bytes += Trim(next);
        }
        std::string_view list = Trim(bytes);
        if (list.empty())
            return true;
        for (std::size_t start = 0;;) {
            std::size_t comma = list.find(',', start);
            std::string_view item = Trim(list.substr(
                start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
            std::optional<unsigned long> byte = ParseHexNumber(item, 2);
            if (!byte)
                return Problem(
                    "hex data must be bytes of 1 or 2 hexadecimal digits between commas");
            data.push_back(static_cast<BYTE>(*byte));
            if (comma == std::string_view::npos)
                return true;
            start = comma + 1;
        }
    }

    LineReader m_lines;
    Hive& m_hive;
    RegKey* m_current = nullptr;
    int m_lineNumber = 0;
    std::string m_problem;
};

} // namespace

bool ParseRegFile(std::string_view text, Hive& out, std::string* error) {
    out.root.Clear();
    Parser parser(text, out);
    std::string message;
    if (parser.Run(message))
        return true;
    out.root.Clear();
    if (error)
        *error = message;
    return false;
}

std::string FormatRegFile(const Hive& hive) {
    std::string out = "REGEDIT4\n\n";
    AppendKey(out, hive.root, hive.rootName, true);
    return out;
}

} // namespace win::detail
