// Fuzz target for reading the division catalogue file: any bytes, one heading a line.
#include "division_checks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> headings{"left over"}, names{"left over"};
    DivisionsFromLines(text, headings, names);
    CheckCatalogue(headings, names);
    // Each heading is a line of the input as it stands, only trimmed.
    for (const std::string& heading : headings)
        Require(text.find(heading) != std::string_view::npos);
    return 0;
}
