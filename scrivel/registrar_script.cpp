#include "registrar_script.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace scrivel {
namespace {

struct Token {
    enum class Kind { Word, Quoted, Open, Close, Equals, End };
    Kind kind = Kind::End;
    std::string text;
    int line = 1;
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

class Reader {
public:
    Reader(std::string_view text, const Replacements& replacements)
        : m_text(text), m_replacements(replacements) {}

    std::optional<RegistrarScript> Read(std::string* error) {
        RegistrarScript script;
        if (!Tokenize())
            return Fail(error);
        while (Peek().kind != Token::Kind::End) {
            std::optional<RegistrarRoot> root = ReadRoot();
            if (!root)
                return Fail(error);
            script.roots.push_back(std::move(*root));
        }
        return script;
    }

private:
    std::nullopt_t Fail(std::string* error) const {
        if (error)
            *error = m_error;
        return std::nullopt;
    }

    bool Problem(int line, const std::string& message) {
        if (m_error.empty())
            m_error = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    bool Tokenize() {
        int line = 1;
        std::size_t i = 0;
        while (i < m_text.size()) {
            char c = m_text[i];
            if (c == '\n') {
                ++line;
                ++i;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '{' || c == '}' || c == '=') {
                Token::Kind kind = c == '{'   ? Token::Kind::Open
                                   : c == '}' ? Token::Kind::Close
                                              : Token::Kind::Equals;
                m_tokens.push_back({kind, std::string(1, c), line});
                ++i;
            } else if (c == '\'') {
                Token token{Token::Kind::Quoted, "", line};
                ++i;
                for (;;) {
                    if (i >= m_text.size())
                        return Problem(token.line, "a quoted name is not closed");
                    if (m_text[i] == '\'') {
                        if (i + 1 < m_text.size() && m_text[i + 1] == '\'') {
                            token.text += '\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (m_text[i] == '\n')
                        ++line;
                    token.text += m_text[i++];
                }
                m_tokens.push_back(std::move(token));
            } else {
                Token token{Token::Kind::Word, "", line};
                while (i < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[i])) &&
                       m_text[i] != '{' && m_text[i] != '}' && m_text[i] != '=' &&
                       m_text[i] != '\'')
                    token.text += m_text[i++];
                m_tokens.push_back(std::move(token));
            }
        }
        m_tokens.push_back({Token::Kind::End, "", line});
        return true;
    }

    const Token& Peek() const { return m_tokens[m_next]; }
    Token Take() {
        Token token = m_tokens[m_next];
        if (token.kind != Token::Kind::End)
            ++m_next;
        return token;
    }
    bool IsKeyword(const Token& token, std::string_view lowerKeyword) const {
        return token.kind == Token::Kind::Word && Lower(token.text) == lowerKeyword;
    }

    bool Expect(Token::Kind kind, const char* what) {
        Token token = Take();
        if (token.kind != kind)
            return Problem(token.line, std::string("expected ") + what);
        return true;
    }

    // A name or text with its placeholders replaced.
    std::optional<std::string> ReadName(const char* what) {
        Token token = Take();
        if (token.kind != Token::Kind::Word && token.kind != Token::Kind::Quoted) {
            Problem(token.line, std::string("expected ") + what);
            return std::nullopt;
        }
        return Replace(token);
    }

    std::optional<std::string> Replace(const Token& token) {
        std::string out;
        const std::string& text = token.text;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') {
                out += text[i];
                continue;
            }
            std::size_t close = text.find('%', i + 1);
            if (close == std::string::npos) {
                Problem(token.line, "a % is not closed in '" + text + "'");
                return std::nullopt;
            }
            std::string name = text.substr(i + 1, close - i - 1);
            if (name.empty()) {
                out += '%';
            } else {
                auto found = FindReplacement(name);
                if (!found) {
                    Problem(token.line, "nothing to put in for %" + name + "%");
                    return std::nullopt;
                }
                out += *found;
            }
            i = close;
        }
        return out;
    }

    std::optional<std::string> FindReplacement(const std::string& name) const {
        std::string wanted = Lower(name);
        for (const auto& [key, value] : m_replacements) {
            if (Lower(key) == wanted)
                return value;
        }
        return std::nullopt;
    }

    std::optional<RegistrarValue> ReadValue() {
        if (!Expect(Token::Kind::Equals, "="))
            return std::nullopt;
        Token type = Take();
        std::optional<std::string> text = ReadName("a value");
        if (!text)
            return std::nullopt;
        RegistrarValue value;
        if (IsKeyword(type, "s")) {
            value.type = REG_SZ;
            value.text = std::move(*text);
            return value;
        }
        if (IsKeyword(type, "d")) {
            value.type = REG_DWORD;
            errno = 0;
            char* end = nullptr;
            // Decimal, or hexadecimal after 0x; a leading zero does not make it octal.
            bool hex =
                text->size() > 2 && (*text)[0] == '0' && ((*text)[1] == 'x' || (*text)[1] == 'X');
            unsigned long long number = std::strtoull(text->c_str(), &end, hex ? 16 : 10);
            if (text->empty() || *end != '\0' || errno == ERANGE || number > 0xFFFFFFFFull ||
                text->front() == '-') {
                Problem(type.line, "'" + *text + "' is not a 32-bit number");
                return std::nullopt;
            }
            value.number = static_cast<DWORD>(number);
            return value;
        }
        Problem(type.line, "unknown value type '" + type.text + "' (s or d expected)");
        return std::nullopt;
    }

    bool ReadEntries(std::vector<RegistrarEntry>* entries, bool valuesAllowed) {
        while (Peek().kind != Token::Kind::Close) {
            if (Peek().kind == Token::Kind::End)
                return Problem(Peek().line, "a { is not closed");
            std::optional<RegistrarEntry> entry = ReadEntry(valuesAllowed);
            if (!entry)
                return false;
            entries->push_back(std::move(*entry));
        }
        Take();
        return true;
    }

    std::optional<RegistrarEntry> ReadEntry(bool valuesAllowed) {
        RegistrarEntry entry;
        const Token& first = Peek();
        if (IsKeyword(first, "val")) {
            int line = Take().line;
            if (!valuesAllowed) {
                Problem(line, "a value needs a key to belong to");
                return std::nullopt;
            }
            entry.kind = RegistrarEntry::Kind::Value;
            auto name = ReadName("a value name");
            if (!name)
                return std::nullopt;
            entry.name = std::move(*name);
            entry.value = ReadValue();
            if (!entry.value)
                return std::nullopt;
            return entry;
        }
        if (IsKeyword(first, "delete")) {
            Take();
            entry.kind = RegistrarEntry::Kind::Delete;
            auto name = ReadName("a key name");
            if (!name)
                return std::nullopt;
            entry.name = std::move(*name);
            return entry;
        }
        if (IsKeyword(first, "noremove")) {
            Take();
            entry.noRemove = true;
        } else if (IsKeyword(first, "forceremove")) {
            Take();
            entry.forceRemove = true;
        }
        if (IsKeyword(Peek(), "noremove") || IsKeyword(Peek(), "forceremove")) {
            Problem(Peek().line, "NoRemove and ForceRemove exclude each other");
            return std::nullopt;
        }
        int line = Peek().line;
        auto name = ReadName("a key name");
        if (!name)
            return std::nullopt;
        if (name->empty()) {
            Problem(line, "a key name is empty");
            return std::nullopt;
        }
        entry.name = std::move(*name);
        if (Peek().kind == Token::Kind::Equals) {
            entry.value = ReadValue();
            if (!entry.value)
                return std::nullopt;
        }
        if (Peek().kind == Token::Kind::Open) {
            Take();
            if (!ReadEntries(&entry.children, true))
                return std::nullopt;
        }
        return entry;
    }

    std::optional<RegistrarRoot> ReadRoot() {
        Token token = Take();
        RegistrarRoot root;
        std::string name = Lower(token.text);
        if (token.kind != Token::Kind::Word) {
            Problem(token.line, "expected a root key");
            return std::nullopt;
        }
        if (name == "hkcr" || name == "hkey_classes_root")
            root.hive = HKEY_CLASSES_ROOT;
        else if (name == "hkcu" || name == "hkey_current_user")
            root.hive = HKEY_CURRENT_USER;
        else if (name == "hklm" || name == "hkey_local_machine")
            root.hive = HKEY_LOCAL_MACHINE;
        else {
            Problem(token.line, "unknown root key '" + token.text + "'");
            return std::nullopt;
        }
        root.hiveName = token.text;
        if (!Expect(Token::Kind::Open, "{ after the root key"))
            return std::nullopt;
        if (!ReadEntries(&root.entries, false))
            return std::nullopt;
        return root;
    }

    std::string_view m_text;
    const Replacements& m_replacements;
    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
    std::string m_error;
};

} // namespace

std::optional<RegistrarScript>
ParseRegistrarScript(std::string_view text, const Replacements& replacements, std::string* error) {
    return Reader(text, replacements).Read(error);
}

} // namespace scrivel
