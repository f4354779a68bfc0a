// The tag layer of DXF files alone: splitting a file's text into tags and writing tags out
// again, in MB of DXF text per second (best of RUNS runs).  No objects are made.  "scan" is
// what the file reader does first: every tag seen where it lies, numbers checked; "read"
// makes the tags (ReadTags); "write" lays the tags out again (AppendTag).
//
// usage: bench_dxf_tags FILE.dxf [RUNS]
#include "db/dxf/tags.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

template <typename F> double BestSeconds(int runs, F&& work) {
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    using namespace cadhost::db::dxf;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dxf_tags FILE.dxf [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    if (text.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }

    std::size_t count = 0;
    double scan = BestSeconds(runs, [&] {
        TagScanner scanner(text);
        TagView tag;
        std::size_t tags = 0, numbers = 0;
        while (scanner.next(tag)) {
            ++tags;
            if (IsNumericCode(tag.code) && IsNumberText(tag.value))
                ++numbers;
        }
        if (scanner.failed()) {
            std::fprintf(stderr, "%s\n", scanner.error().c_str());
            std::exit(1);
        }
        count = tags + numbers / (tags + 1);
    });
    Tags tags;
    std::string error;
    double read = BestSeconds(runs, [&] {
        if (!ReadTags(text, tags, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        count = tags.size();
    });
    std::string out;
    double write = BestSeconds(runs, [&] {
        out.clear();
        for (const Tag& tag : tags)
            AppendTag(out, tag.code, tag.value);
    });
    const double mb = static_cast<double>(text.size()) / 1e6;
    std::printf("%s: %.1f MB, %zu tags\n", argv[1], mb, count);
    std::printf("scan  %8.4f s  %7.0f MB/s\n", scan, mb / scan);
    std::printf("read  %8.4f s  %7.0f MB/s\n", read, mb / read);
    std::printf("write %8.4f s  %7.0f MB/s  (%.1f MB written)\n", write,
                static_cast<double>(out.size()) / 1e6 / write,
                static_cast<double>(out.size()) / 1e6);
    return 0;
}
