#include "text/rtfconvert.h"

#include "text/mtextwriter.h"
#include "text/plaintextreader.h"
#include "text/plaintextwriter.h"
#include "text/rtfreader.h"
#include "text/textbytes.h"

#include <algorithm>
#include <new>

namespace cadhost::text {
namespace {

// Junk a damaged file may carry before its first group (a stray character, a mail header
// line's end) and still be read as Rich Text.
constexpr std::size_t kMaxLeadingJunk = 16;

} // namespace

std::size_t FindRtfStart(std::string_view bytes) {
    std::size_t limit = std::min(bytes.size(), 3 + kMaxLeadingJunk + 5);
    std::size_t found = bytes.substr(0, limit).find("{\\rtf");
    if (found == std::string_view::npos)
        return std::string_view::npos;
    std::size_t junk =
        bytes.starts_with("\xEF\xBB\xBF") ? found - std::min<std::size_t>(found, 3) : found;
    return junk <= kMaxLeadingJunk ? found : std::string_view::npos;
}

TextDocument ReadDocument(std::string_view bytes) {
    // UTF-16 is read as the same text in UTF-8, which tells the readers so by its byte order
    // mark; NUL bytes, which hold no text, are read past.
    std::string text = TextBytesWithoutNul(bytes);
    std::string_view view = text;
    std::size_t start = FindRtfStart(view);
    if (start == std::string_view::npos)
        return ReadPlainText(view);
    bool utf8 = view.starts_with(kUtf8ByteOrderMark);
    return ReadRtf(view.substr(start), utf8 ? RtfLiterals::Utf8 : RtfLiterals::CodePage);
}

bool IsTextDocument(std::string_view bytes) {
    return FindRtfStart(bytes) != std::string_view::npos || !IsBinaryData(bytes);
}

std::string RtfToMText(std::string_view rtf) {
    if (rtf.empty())
        return {};
    try {
        return WriteMText(ReadDocument(rtf));
    } catch (const std::bad_alloc&) {
        // Out of memory is the one failure left; the caller gets no content rather than an
        // exception through the entity's interface.
        return {};
    }
}

std::string RtfToPlainText(std::string_view rtf) {
    try {
        return WritePlainText(ReadDocument(rtf));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace cadhost::text
