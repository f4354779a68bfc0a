// Fuzz target for the Rich Text writer: whatever document the reader makes of the input,
// reading what the writer makes of that document gives the same document, and writing that
// one again gives the same bytes.  The input is tried as it is and behind a "{\rtf1 "
// header, so that the fuzzer need not find the header first.
#include "../host/text_document_diff.h"
#include "text/rtfreader.h"
#include "text/rtfwriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(std::string_view input) {
    using namespace cadhost::text;
    TextDocument document = ReadRtf(input);
    std::string written = WriteRtf(document);
    TextDocument again = ReadRtf(written);
    if (!(again == document)) {
        std::fprintf(stderr, "the written document reads differently: %s\n",
                     text_test::FirstDifference(document, again).c_str());
        std::abort();
    }
    if (WriteRtf(again) != written) {
        std::fprintf(stderr, "the same document was written differently\n");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Check(input);
    Check("{\\rtf1 " + std::string(input));
    return 0;
}
