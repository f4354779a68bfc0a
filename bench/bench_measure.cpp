// MText measuring as the column layout uses it: a 30 KB sheet content grown piece by
// piece (pieces of about 100-300 bytes cut at paragraph breaks and font codes), measured after
// every piece, against measuring the final content once.  Incremental measuring should keep
// the whole growth within a small multiple of the single measure; measuring every step from
// scratch (the peer) shows what it saves.
#include "text/mtextmeasure.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using cadhost::text::MTextMeasurer;

constexpr double kHeight = 0.25;
constexpr double kWidth = 12.0;
constexpr std::size_t kContentBytes = 30 * 1024;

// Headings, body text, hanging-indent list items and size groups, as the Rich Text
// translation writes them.
std::string MakeContent() {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const words[] = {"the",  "contractor", "shall",    "provide", "cast",
                                        "in",   "place",      "concrete", "joints",  "sealant",
                                        "ASTM", "C920",       "surfaces", "clean",   "dry"};
    std::string out = "\\fArial|b0|i0|c0|p34;\\H1x;";
    int item = 1;
    while (out.size() < kContentBytes) {
        switch (pick(5)) {
        case 0:
            out += "\\P\\fArial|b1|i0|c0|p34;PART " + std::to_string(pick(9)) +
                   " - GENERAL\\fArial|b0|i0|c0|p34;";
            break;
        case 1:
            out += "\\P\\pi-2,l2,t2;" + std::to_string(item++) + ".^I";
            break;
        default:
            out += "\\P";
            break;
        }
        int count = 15 + pick(30);
        for (int w = 0; w < count; ++w) {
            if (pick(12) == 0)
                out += "\\fArial|b0|i1|c0|p34;{\\H0.8x;see note}\\fArial|b0|i0|c0|p34; ";
            out += words[pick(15)];
            out += ' ';
        }
    }
    return out;
}

// The ends of the pieces: cut before paragraph breaks and font codes, short cuts merged so
// that a piece has at least 100 bytes.
std::vector<std::size_t> PieceEnds(const std::string& content) {
    std::vector<std::size_t> ends;
    std::size_t start = 0;
    for (std::size_t i = 1; i + 1 < content.size(); ++i) {
        if (content[i] == '\\' && (content[i + 1] == 'P' || content[i + 1] == 'f') &&
            i - start >= 100) {
            ends.push_back(i);
            start = i;
        }
    }
    ends.push_back(content.size());
    return ends;
}

const std::string& Content() {
    static const std::string content = MakeContent();
    return content;
}

const std::vector<std::size_t>& Ends() {
    static const std::vector<std::size_t> ends = PieceEnds(Content());
    return ends;
}

double Grow(MTextMeasurer& measurer) {
    std::string_view content = Content();
    double height = 0.0;
    for (std::size_t end : Ends())
        height = measurer.measure(content.substr(0, end), kHeight, kWidth, "Arial");
    return height;
}

void BM_GrowPieceByPiece(benchmark::State& state) {
    for (auto _ : state) {
        MTextMeasurer measurer;
        benchmark::DoNotOptimize(Grow(measurer));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Content().size()));
}
BENCHMARK(BM_GrowPieceByPiece)->Unit(benchmark::kMillisecond);

void BM_MeasureFinalOnce(benchmark::State& state) {
    for (auto _ : state) {
        MTextMeasurer measurer;
        benchmark::DoNotOptimize(measurer.measure(Content(), kHeight, kWidth, "Arial"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Content().size()));
}
BENCHMARK(BM_MeasureFinalOnce)->Unit(benchmark::kMillisecond);

// Peer: every step measured from scratch, as a host without incremental measuring does.
void BM_GrowFromScratchEachStep(benchmark::State& state) {
    std::string_view content = Content();
    for (auto _ : state) {
        for (std::size_t end : Ends()) {
            MTextMeasurer measurer;
            benchmark::DoNotOptimize(
                measurer.measure(content.substr(0, end), kHeight, kWidth, "Arial"));
        }
    }
}
BENCHMARK(BM_GrowFromScratchEachStep)->Unit(benchmark::kMillisecond);

template <typename F> double BestSeconds(int passes, F&& work) {
    double best = 1e9;
    for (int pass = 0; pass < passes; ++pass) {
        auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        MTextMeasurer warmUp; // fonts and their advances are loaded once per process
        Grow(warmUp);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    double once = BestSeconds(50, [] {
        MTextMeasurer measurer;
        benchmark::DoNotOptimize(measurer.measure(Content(), kHeight, kWidth, "Arial"));
    });
    double grow = BestSeconds(20, [] {
        MTextMeasurer measurer;
        benchmark::DoNotOptimize(Grow(measurer));
    });
    double scratch = BestSeconds(3, [] {
        std::string_view content = Content();
        for (std::size_t end : Ends()) {
            MTextMeasurer measurer;
            benchmark::DoNotOptimize(
                measurer.measure(content.substr(0, end), kHeight, kWidth, "Arial"));
        }
    });
    double kb = static_cast<double>(Content().size()) / 1024.0;
    std::printf("\ncontent: %.1f KB in %zu pieces\n", kb, Ends().size());
    std::printf("measure final once:          %8.3f ms  %8.1f MB/s\n", once * 1e3,
                kb / 1024.0 / once);
    std::printf("grow, measure every piece:   %8.3f ms\n", grow * 1e3);
    std::printf("grow, every piece from start:%8.3f ms\n", scratch * 1e3);
    std::printf("ratio grow/once: %.2f (must stay below 3)\n", grow / once);
    std::printf("ratio from-start/grow: %.1fx\n", scratch / grow);
    return 0;
}
