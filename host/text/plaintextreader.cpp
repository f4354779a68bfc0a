#include "text/plaintextreader.h"

#include "text/textbytes.h"

#include <string>

namespace cadhost::text {

TextDocument ReadPlainText(std::string_view bytes) {
    std::string text = TextToUtf8(bytes);
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
