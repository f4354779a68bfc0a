// Fuzz target for the Rich Text reader and the MText writer.
//
// Besides not crashing, hanging or growing without bound, every input must give
// well-formed content (balanced groups, every code terminated) no deeper than the module
// cuts, whose text is the document's visible plain text.  The input is tried as it is and
// behind a "{\rtf1 " header, so that the fuzzer need not find the header first.
#include "../host/text_mtext_check.h"
#include "text/plaintextwriter.h"
#include "text/rtfconvert.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(std::string_view input) {
    std::string content = cadhost::text::RtfToMText(input);
    if (input.empty()) {
        if (!content.empty())
            std::abort();
        return;
    }
    auto reading = text_test::ReadMText(content);
    if (!reading.wellFormed || reading.maxDepth > 2)
        std::abort();
    // The content's text is the plain text, apart from the white space that MText spells
    // differently (line breaks, cells) and the soft hyphens it drops.
    std::string plain = cadhost::text::RtfToPlainText(input);
    auto squeeze = [](std::string_view text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\n' || c == '\t' || c == ' ')
                continue;
            if (c == 0xC2 && i + 1 < text.size() &&
                (text[i + 1] == '\xA0' || text[i + 1] == '\xAD')) {
                ++i;
                continue;
            }
            out.push_back(static_cast<char>(c));
        }
        return out;
    };
    if (squeeze(reading.plain) != squeeze(plain))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Check(input);
    Check("{\\rtf1 " + std::string(input));
    return 0;
}
