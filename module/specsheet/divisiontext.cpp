#include "specsheet/divisiontext.h"

#include <array>
#include <utility>

namespace {

// Every built-in heading starts a new paragraph in Arial Black, overlined and underlined, in
// colour 1, and closes its group after the title.
const char* const kHeadingStart = "{\\P\\fArial Black|b0|i0|c0|p34;\\L\\O\\C1;";

const char* const kBuiltInTitles[kBuiltInDivisionCount] = {
    "DIVISION 0 - AGREEMENTS",
    "DIVISION 1 - BASIC REQUIREMENTS",
    "DIVISION 2 - SITE CONSTRUCTION",
    "DIVISION 3 - CONCRETE",
    "DIVISION 4 - MASONRY",
    "DIVISION 5 - METALS",
    "DIVISION 6 - WOOD AND PLASTICS",
    "DIVISION 7 - THERMAL & MOISTURE PROTECTION",
    "DIVISION 8 - DOORS AND WINDOWS",
    "DIVISION 9 - FINISHES",
    "DIVISION 10 - SPECIALTIES",
    "DIVISION 11 - EQUIPMENT",
    "DIVISION 12 - FURNISHINGS",
    "DIVISION 13 - SPECIAL CONSTRUCTION",
    "DIVISION 14 - CONVEYING SYSTEMS",
    "DIVISION 15 - MECHANICAL",
    "DIVISION 16 - ELECTRICAL",
    "DIVISION 17 - STRUCTURAL ELEMENTS",
};

// One formatting code of the plain-text reader.  A code is started by a backslash and its
// letter; while it is active the characters that follow are dropped, until one ends it: its
// own letter again (for codes that end so) or a semicolon (for every code).
struct FormatCode {
    char letter;
    bool ignoreCase;   // the letter is matched upper-cased, so "\l" starts the "L" code
    bool endsAtLetter; // the letter itself ends the code: "\P" is gone with its "P"
};

// The order matters: a character is matched against the codes in this order and only the
// first match counts, so "\f" starts the font code and never the "F" code after it.
constexpr FormatCode kFormatCodes[] = {
    {'O', true, true},   {'L', true, true},   {'~', false, true},  {'\\', false, true},
    {'{', false, true},  {'}', false, true},  {'p', false, false}, {'f', false, false},
    {'A', false, true},  {'P', false, true},  {'W', false, false}, {'Q', false, false},
    {'T', false, false}, {'S', false, false}, {'H', false, false}, {'F', false, false},
    {'C', false, false},
};
constexpr std::size_t kFormatCodeCount = sizeof(kFormatCodes) / sizeof(kFormatCodes[0]);

// ASCII only: bytes of multi-byte characters never match a code letter.
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Matches(const FormatCode& code, char c) {
    return (code.ignoreCase ? Upper(c) : c) == code.letter;
}

bool EndsCode(const FormatCode& code, char c) {
    return c == ';' || (code.endsAtLetter && Matches(code, c));
}

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

const std::string& BuiltInDivisionHeading(std::size_t index) {
    static const std::array<std::string, kBuiltInDivisionCount> headings = [] {
        std::array<std::string, kBuiltInDivisionCount> made;
        for (std::size_t i = 0; i < kBuiltInDivisionCount; ++i)
            made[i] = std::string(kHeadingStart) + kBuiltInTitles[i] + "}";
        return made;
    }();
    return headings.at(index);
}

std::size_t MTextToPlain(std::string_view content, std::string& plain) {
    plain.clear();
    bool active[kFormatCodeCount] = {};
    for (std::size_t i = 0; i < content.size(); ++i) {
        char c = content[i];
        if (c == '\\') {
            // The backslash starts the code named by the character after it; that character
            // is then read like any other, so a code that ends at its own letter ends there.
            char next = i + 1 < content.size() ? content[i + 1] : '\0';
            for (std::size_t k = 0; k < kFormatCodeCount; ++k) {
                if (Matches(kFormatCodes[k], next)) {
                    active[k] = true;
                    break;
                }
            }
            continue;
        }
        bool dropped = false;
        for (std::size_t k = 0; k < kFormatCodeCount; ++k) {
            if (active[k] && EndsCode(kFormatCodes[k], c)) {
                active[k] = false;
                dropped = true;
                break;
            }
        }
        if (dropped)
            continue;
        bool anyActive = false;
        for (bool a : active)
            anyActive = anyActive || a;
        if (anyActive || c == '{' || c == '}')
            continue;
        plain += c;
    }
    return plain.size();
}

std::string MTextToPlain(std::string_view content) {
    std::string plain;
    MTextToPlain(content, plain);
    return plain;
}

std::string_view TrimDivisionText(std::string_view text) {
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimHeadingEnd(std::string_view heading) {
    while (!heading.empty() &&
           (heading.back() == '\n' || heading.back() == '\r' || heading.back() == ' '))
        heading.remove_suffix(1);
    return heading;
}

std::vector<std::string> SplitHeadingItems(std::string_view text) {
    std::vector<std::string> items;
    std::string current;
    for (char c : text) {
        if (c == '\r' || c == '\n')
            continue;
        current += c;
        if (c == '}') {
            items.push_back(std::move(current));
            current.clear();
        }
    }
    return items;
}

bool AppendDivision(std::vector<std::string>& headings, std::vector<std::string>& names,
                    std::string_view candidate) {
    std::string_view heading = TrimDivisionText(candidate);
    std::string name = MTextToPlain(heading);
    if (name.empty())
        return false;
    headings.emplace_back(heading);
    names.push_back(std::move(name));
    return true;
}

void DefaultDivisions(std::vector<std::string>& headings, std::vector<std::string>& names) {
    headings.clear();
    names.clear();
    for (std::size_t i = 0; i < kBuiltInDivisionCount; ++i) {
        headings.push_back(BuiltInDivisionHeading(i));
        names.push_back(MTextToPlain(headings.back()));
    }
}

void DivisionsFromLines(std::string_view text, std::vector<std::string>& headings,
                        std::vector<std::string>& names) {
    // Built aside first: the text may be one of the headings being replaced.
    std::vector<std::string> newHeadings, newNames;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        AppendDivision(newHeadings, newNames, text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    headings = std::move(newHeadings);
    names = std::move(newNames);
}

void DivisionsFromItems(std::string_view text, std::vector<std::string>& headings,
                        std::vector<std::string>& names) {
    std::vector<std::string> newHeadings, newNames;
    for (const std::string& item : SplitHeadingItems(text))
        AppendDivision(newHeadings, newNames, item);
    headings = std::move(newHeadings);
    names = std::move(newNames);
}

std::string DivisionFileText(const std::vector<std::string>& headings) {
    std::string text;
    for (const std::string& heading : headings) {
        text += TrimHeadingEnd(heading);
        text += '\n';
    }
    return text;
}

int FindDivisionPrefix(const std::vector<std::string>& names, std::string_view entry) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (entry.starts_with(names[i]))
            return static_cast<int>(i);
    return -1;
}
