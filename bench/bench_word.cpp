// Word documents to Rich Text: twenty corpus documents through one Word bridge (one Word server,
// one LibreOffice for the batch) against twenty "soffice --headless --convert-to rtf" runs, in
// the same run.  The bridge's start (Word starting), its first document and the documents after
// it are timed apart.
//
//   bench_word [CORPUS_DIR] [COUNT]      (default: the shared corpus beside the checkout, 20)
#include "wordconv/worddoc2wordrtf.h"

#include "win/paths.h"

#include "corpus.h"
#include "prefix_folders.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string SelfFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path().string();
}

std::string Quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The total, the start before the first document, the first document and the mean of the
// others; `after` is time spent after the last document (quitting).
void Report(const char* what, const std::vector<double>& times, double start, double after) {
    double total = start + after;
    for (double t : times)
        total += t;
    double rest = 0;
    for (std::size_t i = 1; i < times.size(); ++i)
        rest += times[i];
    std::printf("%-34s total %7.3f s  start %6.3f s  first %6.3f s  then %6.3f s per document\n",
                what, total, start, times.empty() ? 0.0 : times[0],
                times.size() > 1 ? rest / static_cast<double>(times.size() - 1) : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    fs::path corpus = argc > 1 ? fs::path(argv[1]) : rivlet_test::CorpusDir();
    std::size_t count = argc > 2 ? static_cast<std::size_t>(std::atoi(argv[2])) : 20;
    std::vector<fs::path> documents;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(corpus / "doc", error))
        if (entry.path().extension() == ".doc")
            documents.push_back(entry.path());
    std::sort(documents.begin(), documents.end());
    if (documents.size() > count)
        documents.resize(count);
    if (documents.empty()) {
        std::fprintf(stderr, "bench_word: no documents in %s/doc\n", corpus.c_str());
        return 1;
    }

    // A prefix of the benchmark's own, with the Word server registered in it.
    rivlet_test::PrefixFolders folders("bench-word");
    const std::string& root = folders.Root();
    if (std::system((Quoted(SelfFolder() + "/WordServer") + " /RegServer").c_str()) != 0) {
        std::fprintf(stderr, "bench_word: the Word server cannot register\n");
        return 1;
    }
    std::printf("%zu documents of %s/doc\n", documents.size(), corpus.c_str());

    // One bridge for the batch.
    std::vector<double> bridgeTimes;
    Clock::time_point start = Clock::now();
    double bridgeStart = 0, bridgeQuit = 0;
    std::size_t converted = 0;
    {
        WordDoc2WordRtf word;
        bridgeStart = Since(start);
        for (const fs::path& document : documents) {
            Clock::time_point t = Clock::now();
            std::string rtf;
            converted += word.ConvertToRtf(win::ToWindowsPath(document.string()).c_str(), rtf);
            bridgeTimes.push_back(Since(t));
        }
        start = Clock::now();
    }
    bridgeQuit = Since(start);

    // A LibreOffice run per document, with a profile of its own made by the first run.
    std::vector<double> sofficeTimes;
    std::size_t written = 0;
    for (const fs::path& document : documents) {
        Clock::time_point t = Clock::now();
        std::string command = "soffice --headless --norestore -env:UserInstallation=file://" +
                              root + "/profile --convert-to rtf --outdir " + Quoted(root + "/out") +
                              " " + Quoted(document.string()) + " >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0 &&
            fs::exists(fs::path(root) / "out" / document.filename().replace_extension(".rtf")))
            ++written;
        sofficeTimes.push_back(Since(t));
    }

    Report("one bridge (Word server)", bridgeTimes, bridgeStart, bridgeQuit);
    std::printf("%-34s %zu of %zu converted; Word's start %.3f s, its quit %.3f s\n", "", converted,
                documents.size(), bridgeStart, bridgeQuit);
    Report("soffice --convert-to per document", sofficeTimes, 0, 0);
    std::printf("%-34s %zu of %zu converted\n", "", written, documents.size());
    double bridgeTotal = bridgeStart + bridgeQuit, sofficeTotal = 0;
    for (double t : bridgeTimes)
        bridgeTotal += t;
    for (double t : sofficeTimes)
        sofficeTotal += t;
    std::printf("the bridge is %.1f times faster\n", sofficeTotal / bridgeTotal);
    return 0;
}
