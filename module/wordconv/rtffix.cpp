#include "wordconv/rtffix.h"

#include "win/collections.h"

#include <cctype>
#include <cstring>

namespace {

using CKsrRtfFixArray = CTypedPtrArray<CPtrArray, CKsrRtfFix*>;

// The pending insertions are owned here; this deletes them on every way out.
class CKsrRtfFixes : public CKsrRtfFixArray {
public:
    CKsrRtfFixes() = default;
    CKsrRtfFixes(const CKsrRtfFixes&) = delete;
    CKsrRtfFixes& operator=(const CKsrRtfFixes&) = delete;
    ~CKsrRtfFixes() override {
        for (INT_PTR i = 0; i < GetSize(); ++i)
            delete GetAt(i);
        RemoveAll();
    }
};

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool HasAt(const std::string& text, std::size_t pos, const char* word) {
    return pos <= text.size() && text.compare(pos, std::strlen(word), word) == 0;
}

// Whether the backslash at pos starts a control word: it does unless it is itself escaped by
// an odd number of backslashes before it ("\\fi-360" is text, "\\\fi-360" text and a word).
bool StartsControlWord(const std::string& rtf, std::size_t pos) {
    std::size_t before = 0;
    while (before < pos && rtf[pos - 1 - before] == '\\')
        ++before;
    return before % 2 == 0;
}

std::size_t SkipDigits(const std::string& text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return pos;
}

// Whether a tab stop "\tx<digit>" stands among the control words from pos to the next blank.
bool HasTabStop(const std::string& rtf, std::size_t pos) {
    std::size_t end = rtf.find(' ', pos);
    if (end == std::string::npos)
        end = rtf.size();
    for (std::size_t i = pos; i + 3 < end; ++i)
        if (HasAt(rtf, i, "\\tx") && IsDigit(rtf[i + 3]))
            return true;
    return false;
}

// The number as "%d" writes it: without leading zeros.  Kept as text, so a value of any length
// is copied as it stands instead of overflowing.
std::string DecimalValue(const std::string& digits) {
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

} // namespace

void FixHangingIndents(std::string& rtf) {
    CKsrRtfFixes fixes;
    std::size_t added = 0;

    for (std::size_t p = 0; p < rtf.size(); ++p) {
        if (!HasAt(rtf, p, "\\fi-") || p + 4 >= rtf.size() || !IsDigit(rtf[p + 4]) ||
            !StartsControlWord(rtf, p))
            continue;
        std::size_t li = SkipDigits(rtf, p + 4);
        if (!HasAt(rtf, li, "\\li") || li + 3 >= rtf.size() || !IsDigit(rtf[li + 3]))
            continue;
        std::size_t q = SkipDigits(rtf, li + 3);
        if (HasTabStop(rtf, q))
            continue;
        std::string text = "\\tx" + DecimalValue(rtf.substr(li + 3, q - (li + 3)));
        fixes.Add(new CKsrRtfFix(static_cast<INT_PTR>(q + added), text));
        added += text.size();
    }
    if (added == 0)
        return;

    // Each offset counts the insertions before it, so the original text between two of them
    // is copied from where the previous one left off.
    std::string fixed;
    fixed.reserve(rtf.size() + added);
    std::size_t copied = 0;
    std::size_t inserted = 0;
    for (INT_PTR i = 0; i < fixes.GetSize(); ++i) {
        const CKsrRtfFix* fix = fixes[i];
        std::size_t at = static_cast<std::size_t>(fix->m_Offset) - inserted;
        fixed.append(rtf, copied, at - copied);
        fixed += fix->m_Text;
        copied = at;
        inserted += fix->m_Text.size();
    }
    fixed.append(rtf, copied, std::string::npos);
    rtf = std::move(fixed);
}
