#include "text/plaintextwriter.h"

namespace cadhost::text {

std::string WritePlainText(const TextDocument& document, const PlainTextOptions& options) {
    std::string out;
    const auto& paragraphs = document.paragraphs;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out.push_back(paragraphs[i - 1].end == ParagraphEnd::Cell ? '\t' : '\n');
        for (const auto& run : paragraphs[i].runs)
            if (options.includeHidden || !run.format.hidden)
                out += run.text;
    }
    return out;
}

} // namespace cadhost::text
