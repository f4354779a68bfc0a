// Throughput of the Rich Text writer, in bytes of Rich Text written per second: on the
// documents of the shared corpus (read once, written again and again), on one large
// document of long plain paragraphs, and on one of the same size whose formatting changes
// every few words, with text outside 1252 and tables.
//
//   bench_rtfwriter [google benchmark flags]      corpus: $RIVLET_CORPUS or ../shared/corpus
#include "text/rtfreader.h"
#include "text/rtfwriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace cadhost::text;

constexpr std::size_t kLargeBytes = 8u * 1024 * 1024;

fs::path CorpusFolder() {
    if (const char* folder = std::getenv("RIVLET_CORPUS"))
        return fs::path(folder) / "rtf";
#ifdef RIVLET_SOURCE_DIR
    return fs::path(RIVLET_SOURCE_DIR).parent_path() / "shared" / "corpus" / "rtf";
#else
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "shared" / "corpus" /
           "rtf";
#endif
}

struct CorpusDocument {
    fs::path path;
    std::string rtf;
    TextDocument document;
};

const std::vector<CorpusDocument>& Corpus() {
    static const std::vector<CorpusDocument> documents = [] {
        std::vector<CorpusDocument> loaded;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(CorpusFolder(), error)) {
            if (entry.path().extension() != ".rtf")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            std::string rtf = bytes.str();
            auto start = rtf.find("{\\rtf");
            TextDocument document =
                ReadRtf(std::string_view(rtf).substr(start == std::string::npos ? 0 : start));
            loaded.push_back({entry.path(), std::move(rtf), std::move(document)});
        }
        std::sort(loaded.begin(), loaded.end(),
                  [](const CorpusDocument& a, const CorpusDocument& b) { return a.path < b.path; });
        return loaded;
    }();
    return documents;
}

// The corpus's longest text-heavy file, its body repeated to 8 MB of Rich Text, as read.
const TextDocument& LongPlainDocument() {
    static const TextDocument document = [] {
        std::string body;
        for (const auto& file : Corpus())
            if (file.path.stem() == "rtf2xml_old3_from_web") {
                auto open = file.rtf.find("\\pard");
                auto close = file.rtf.rfind('}');
                if (open != std::string::npos && close != std::string::npos && close > open)
                    body = file.rtf.substr(open, close - open);
            }
        std::string rtf = "{\\rtf1\\ansi ";
        while (!body.empty() && rtf.size() < kLargeBytes)
            rtf += body;
        rtf += "}";
        return ReadRtf(rtf);
    }();
    return document;
}

// A construction sheet of the same size whose formatting changes every few words: bold and
// italic terms, coloured and superscript notes, Cyrillic and CJK names, tab-aligned lists and
// a table every few paragraphs.
const TextDocument& RichDocument() {
    static const TextDocument document = [] {
        std::mt19937 random(11);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        static const char* const words[] = {"the",
                                            "contractor",
                                            "shall",
                                            "provide",
                                            "cast-in-place",
                                            "concrete",
                                            "joints",
                                            "sealant",
                                            "ASTM",
                                            "C920",
                                            "surfaces",
                                            "clean",
                                            "dry",
                                            "caf\u00E9",
                                            "\u00BD",
                                            "\u2014",
                                            "\u0411\u0435\u0442\u043E\u043D",
                                            "\u6F22\u5B57",
                                            "{braces}",
                                            "back\\s",
                                            "m\u00B2",
                                            "\u20AC"};
        TextDocument doc;
        doc.fonts = {{"Arial", 0, 0x22}, {"Times New Roman", 0, 0x12}, {"MS Mincho", 128, 0x31}};
        std::size_t size = 0;
        while (size < kLargeBytes) {
            Paragraph paragraph;
            paragraph.format.leftIndent = pick(3) * 360;
            paragraph.format.firstIndent = paragraph.format.leftIndent ? -360 : 0;
            if (pick(4) == 0)
                paragraph.format.tabs = {{720, TabAlignment::Left}, {4320, TabAlignment::Decimal}};
            bool cell = pick(6) == 0;
            for (int r = 0, count = 4 + pick(12); r < count; ++r) {
                Run run;
                run.format.font = pick(8) == 0 ? 2 : pick(2);
                run.format.halfPoints = pick(5) == 0 ? 16 : 20;
                run.format.bold = pick(5) == 0;
                run.format.italic = pick(6) == 0;
                run.format.hasColor = pick(7) == 0;
                run.format.color = run.format.hasColor ? Rgb{200, 0, 0} : Rgb{};
                run.format.vertical =
                    pick(15) == 0 ? VerticalPosition::Superscript : VerticalPosition::Baseline;
                for (int w = 0, n = 2 + pick(6); w < n; ++w) {
                    run.text += words[pick(static_cast<int>(std::size(words)))];
                    run.text += pick(10) == 0 ? '\t' : ' ';
                }
                if (!paragraph.runs.empty() && paragraph.runs.back().format == run.format)
                    paragraph.runs.back().text += run.text;
                else
                    paragraph.runs.push_back(std::move(run));
                size += paragraph.runs.back().text.size();
            }
            if (cell) {
                paragraph.tableLevel = 1;
                paragraph.end = ParagraphEnd::Cell;
                paragraph.row = static_cast<int>(doc.rows.size());
                Paragraph last = paragraph;
                last.end = ParagraphEnd::Row;
                doc.paragraphs.push_back(std::move(paragraph));
                doc.paragraphs.push_back(std::move(last));
                doc.rows.push_back({-108, {4320, 8640}});
            } else {
                doc.paragraphs.push_back(std::move(paragraph));
            }
        }
        return doc;
    }();
    return document;
}

std::size_t WrittenSize(const TextDocument& document) {
    return WriteRtf(document).size();
}

std::size_t CorpusWrittenBytes() {
    std::size_t total = 0;
    for (const auto& file : Corpus())
        total += WrittenSize(file.document);
    return total;
}

void BM_WriteRtf_Corpus(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& file : Corpus()) {
            std::string rtf = WriteRtf(file.document);
            benchmark::DoNotOptimize(rtf.data());
        }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CorpusWrittenBytes()));
    state.counters["files"] = static_cast<double>(Corpus().size());
}
BENCHMARK(BM_WriteRtf_Corpus)->Unit(benchmark::kMillisecond);

void BM_WriteRtf_LongPlainDocument(benchmark::State& state) {
    const TextDocument& document = LongPlainDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(document));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * WrittenSize(document)));
}
BENCHMARK(BM_WriteRtf_LongPlainDocument)->Unit(benchmark::kMillisecond);

void BM_WriteRtf_RichDocument(benchmark::State& state) {
    const TextDocument& document = RichDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(document));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * WrittenSize(document)));
}
BENCHMARK(BM_WriteRtf_RichDocument)->Unit(benchmark::kMillisecond);

// Seconds for the best of several runs of `write`.
template <typename Write> double Best(Write write) {
    double best = 1e9;
    for (int pass = 0; pass < 10; ++pass) {
        auto start = std::chrono::steady_clock::now();
        write();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void Report(const char* what, std::size_t bytes, double seconds) {
    double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("%-26s %8.2f MB in %8.2f ms  %8.1f MB/s\n", what, megabytes, seconds * 1e3,
                megabytes / seconds);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (Corpus().empty()) {
        std::fprintf(stderr, "no corpus files in %s\n", CorpusFolder().c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nWriteRtf, bytes of Rich Text written (best of 10 runs):\n");
    Report("corpus (all files)", CorpusWrittenBytes(), Best([] {
               for (const auto& file : Corpus())
                   benchmark::DoNotOptimize(WriteRtf(file.document));
           }));
    Report("long plain document", WrittenSize(LongPlainDocument()),
           Best([] { benchmark::DoNotOptimize(WriteRtf(LongPlainDocument())); }));
    Report("richly formatted document", WrittenSize(RichDocument()),
           Best([] { benchmark::DoNotOptimize(WriteRtf(RichDocument())); }));
    return 0;
}
