// text-dump FILE...: writes to standard output, for each Rich Text file and then for the
// benchmarks' Word-style sections (seeds 0 to 63), what the text engine makes of it: the MText
// content, the plain text and the document written again as Rich Text, each behind a header
// line with its name and size.  Two builds that give the same dump translate these inputs the
// same, byte for byte.
#include "text/rtfconvert.h"
#include "text/rtfwriter.h"

#include "../../bench/bench_sections.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void Part(std::string_view name, std::string_view what, const std::string& bytes) {
    std::printf("==== %.*s %.*s %zu\n", static_cast<int>(name.size()), name.data(),
                static_cast<int>(what.size()), what.data(), bytes.size());
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

void Dump(std::string_view name, const std::string& rtf) {
    using namespace cadhost::text;
    Part(name, "mtext", RtfToMText(rtf));
    Part(name, "plain", RtfToPlainText(rtf));
    Part(name, "rtf", WriteRtf(ReadDocument(rtf)));
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "text-dump: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        Dump(argv[i], bytes.str());
    }
    for (int seed = 0; seed < 64; ++seed)
        Dump("section-" + std::to_string(seed), WordStyleRtf(seed));
    return status;
}
