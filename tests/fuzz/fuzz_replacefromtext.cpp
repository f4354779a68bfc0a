// Fuzz target for the catalogue editor's text: any text, cut into headings at each "}".
#include "division_checks.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> headings{"left over"}, names{"left over"};
    DivisionsFromItems(text, headings, names);
    CheckCatalogue(headings, names);
    for (const std::string& heading : headings) {
        Require(std::count(heading.begin(), heading.end(), '}') == 1 && heading.back() == '}');
        Require(heading.find('\r') == std::string::npos);
    }
    // No more headings than closing braces in the text.
    Require(headings.size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '}')));
    return 0;
}
