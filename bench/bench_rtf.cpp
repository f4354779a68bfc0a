// Throughput of the Rich Text to MText translation on the shared corpus, on a 30 KB section
// as a word processor saves it (bench_sections.h) and on a large document, and the time of
// unrtf --text (/usr/bin/unrtf) on the corpus files in the same run, as a ratio.
//
//   bench_rtf [google benchmark flags]      corpus: $RIVLET_CORPUS or ../shared/corpus
//
// unrtf is timed as a user would run it, one process per file (so its time includes process
// start); ours is timed in process, which is how the host calls it.
#include "text/rtfconvert.h"

#include "bench_sections.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct CorpusFile {
    fs::path path;
    std::string bytes;
};

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

const std::vector<CorpusFile>& Corpus() {
    static const std::vector<CorpusFile> files = [] {
        std::vector<CorpusFile> loaded;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(CorpusFolder(), error)) {
            if (entry.path().extension() != ".rtf")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            loaded.push_back({entry.path(), bytes.str()});
        }
        std::sort(loaded.begin(), loaded.end(),
                  [](const CorpusFile& a, const CorpusFile& b) { return a.path < b.path; });
        return loaded;
    }();
    return files;
}

std::size_t CorpusBytes() {
    std::size_t total = 0;
    for (const auto& file : Corpus())
        total += file.bytes.size();
    return total;
}

void BM_RtfToMText_Corpus(benchmark::State& state) {
    std::size_t output = 0;
    for (auto _ : state)
        for (const auto& file : Corpus()) {
            std::string content = cadhost::text::RtfToMText(file.bytes);
            output += content.size();
            benchmark::DoNotOptimize(content.data());
        }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CorpusBytes()));
    state.counters["files"] = static_cast<double>(Corpus().size());
}
BENCHMARK(BM_RtfToMText_Corpus)->Unit(benchmark::kMillisecond);

void BM_RtfToMText_LargeDocument(benchmark::State& state) {
    // One long specification: the corpus's largest text-heavy files, repeated to 8 MB.
    std::string body;
    for (const auto& file : Corpus())
        if (file.path.stem() == "rtf2xml_old3_from_web") {
            auto open = file.bytes.find("\\pard");
            auto close = file.bytes.rfind('}');
            if (open != std::string::npos && close != std::string::npos && close > open)
                body = file.bytes.substr(open, close - open);
        }
    std::string rtf = "{\\rtf1\\ansi ";
    while (!body.empty() && rtf.size() < 8u * 1024 * 1024)
        rtf += body;
    rtf += "}";
    for (auto _ : state)
        benchmark::DoNotOptimize(cadhost::text::RtfToMText(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfToMText_LargeDocument)->Unit(benchmark::kMillisecond);

// A section saved by a word processor: the tables before its text are a large share of it.
const std::string& WordSection() {
    static const std::string rtf = WordStyleRtf(7);
    return rtf;
}

void BM_RtfToMText_WordSection(benchmark::State& state) {
    const std::string& rtf = WordSection();
    for (auto _ : state)
        benchmark::DoNotOptimize(cadhost::text::RtfToMText(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfToMText_WordSection)->Unit(benchmark::kMicrosecond);

// Seconds to run unrtf --text once on every corpus file, output discarded; -1 if it cannot run.
double TimeUnrtf() {
    const char* unrtf = "/usr/bin/unrtf";
    if (access(unrtf, X_OK) != 0)
        return -1;
    // unrtf writes the pictures it finds into its working folder: give it a scratch one.
    std::error_code error;
    fs::path scratch =
        fs::temp_directory_path(error) / ("bench_rtf_unrtf." + std::to_string(getpid()));
    fs::create_directories(scratch, error);
    auto start = std::chrono::steady_clock::now();
    for (const auto& file : Corpus()) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, scratch.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string path = fs::absolute(file.path).string();
        char* argv[] = {const_cast<char*>(unrtf), const_cast<char*>("--text"), path.data(),
                        nullptr};
        pid_t child = 0;
        int spawned = posix_spawn(&child, unrtf, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            fs::remove_all(scratch, error);
            return -1;
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(scratch, error);
    return seconds;
}

// Seconds for one pass of our translation over the corpus (best of several passes).
double TimeOurs() {
    double best = 1e9;
    for (int pass = 0; pass < 20; ++pass) {
        auto start = std::chrono::steady_clock::now();
        for (const auto& file : Corpus())
            benchmark::DoNotOptimize(cadhost::text::RtfToMText(file.bytes));
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Seconds for one translation of the Word-style section (best of many, each timing 20 of
// them so that the clock's resolution does not matter).
double TimeSection() {
    constexpr int kRepeats = 20;
    double best = 1e9;
    for (int pass = 0; pass < 50; ++pass) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRepeats; ++i)
            benchmark::DoNotOptimize(cadhost::text::RtfToMText(WordSection()));
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best / kRepeats;
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

    double megabytes = static_cast<double>(CorpusBytes()) / (1024.0 * 1024.0);
    double ours = TimeOurs();
    double section = TimeSection();
    double sectionMegabytes = static_cast<double>(WordSection().size()) / (1024.0 * 1024.0);
    std::printf("\nWord-style section: %.1f KB, %8.3f ms  %8.1f MB/s (best of 50)\n",
                static_cast<double>(WordSection().size()) / 1024.0, section * 1e3,
                sectionMegabytes / section);
    double peer = TimeUnrtf();
    std::printf("corpus: %zu files, %.2f MB\n", Corpus().size(), megabytes);
    std::printf("RtfToMText:   %8.2f ms  %8.1f MB/s (best of 20)\n", ours * 1e3, megabytes / ours);
    if (peer < 0) {
        std::printf("unrtf --text: not available\n");
        return 0;
    }
    std::printf("unrtf --text: %8.2f ms  %8.1f MB/s (one process per file)\n", peer * 1e3,
                megabytes / peer);
    std::printf("ratio unrtf/RtfToMText: %.1fx\n", peer / ours);
    return 0;
}
