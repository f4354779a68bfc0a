#include "text/plaintextreader.h"

#include "text/codepages.h"
#include "text/utf8.h"

#include <string>

namespace cadhost::text {
namespace {

// Decodes the whole input to UTF-8, whatever encoding it is in.
std::string DecodeToUtf8(std::string_view bytes) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::string out;
    out.reserve(bytes.size());
    if (bytes.size() >= 2 &&
        ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))) {
        bool little = at(0) == 0xFF;
        char32_t high = 0;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            char32_t unit = little ? (at(i) | (at(i + 1) << 8)) : ((at(i) << 8) | at(i + 1));
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (high != 0)
                    AppendUtf8(out, kReplacementChar);
                high = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                AppendUtf8(out, high != 0 ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00)
                                          : kReplacementChar);
                high = 0;
                continue;
            }
            if (high != 0)
                AppendUtf8(out, kReplacementChar);
            high = 0;
            AppendUtf8(out, unit);
        }
        if (high != 0)
            AppendUtf8(out, kReplacementChar);
        return out;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
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
            continue; // form feeds and other controls show nothing
        line.push_back(c);
    }
    if (!line.empty())
        endLine();
    return document;
}

} // namespace cadhost::text
