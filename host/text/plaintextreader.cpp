#include "text/plaintextreader.h"

#include "text/codepages.h"
#include "text/textbytes.h"
#include "text/utf8.h"

#include <string>

namespace cadhost::text {
namespace {

// Decodes the whole input to UTF-8, whatever encoding it is in.
std::string DecodeToUtf8(std::string_view bytes) {
    TextEncoding encoding = DetectTextEncoding(bytes);
    if (encoding != TextEncoding::Narrow)
        return Utf16ToUtf8(bytes, encoding == TextEncoding::Utf16LE);
    if (bytes.starts_with(kUtf8ByteOrderMark))
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    ByteDecoder decoder(1252);
    for (char c : bytes) {
        char32_t decoded = decoder.Decode(static_cast<unsigned char>(c));
        if (decoded != ByteDecoder::kNoChar)
            AppendUtf8(out, decoded);
    }
    return out;
}

} // namespace

TextDocument ReadPlainText(std::string_view bytes) {
    std::string text = DecodeToUtf8(bytes);
    TextDocument document;
    document.fonts.push_back(DefaultFontFace());
    Paragraph paragraph;
    std::string line;
    auto endLine = [&] {
        if (!line.empty())
            paragraph.runs.push_back(Run{CharFormat{}, std::move(line)});
        document.paragraphs.push_back(std::move(paragraph));
        paragraph = Paragraph{};
        line.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endLine();
            continue;
        }
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t')
            continue; // form feeds, NUL and other controls show nothing
        line.push_back(c);
    }
    if (!line.empty())
        endLine();
    return document;
}

} // namespace cadhost::text
