// EXPORT of one large MText through cadhost, as a user does it: a text file of ordinary words
// (each line a paragraph of 10 to 80 words) imported with MTEXT's Import into a box 40 units
// wide at the default text height, then EXPORT to .png (and with --svg to .svg).  Each run is
// cadhost on a script in a fresh prefix, measured from outside: wall time, CPU time (user and
// system, of cadhost and the rsvg-convert it starts; another busy program on the machine
// changes it less than the wall time) and peak memory (the largest resident set among them).
// The sizes show how time and memory grow with the text.  Then a word of 200,000 letters in a
// box 2 units wide: its layout in this process, with the flow's work for 100,000 and 200,000
// letters, and its EXPORT to PNG through cadhost.
//
// usage: bench_export_large [--runs N] [--sizes 1,5,20] [--svg] [--timeout SECONDS]
//                           [--cadhost PATH]
// The default cadhost is the one beside this program; each figure is the median of the runs.
#include "text/mtextflow.h"
#include "text/mtextlayout.h"

#include "temp_folder.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    bool finished = false;
    bool ok = false;
    double wall = 0.0;
    double cpu = 0.0;
    double peakMB = 0.0;
};

// Lines of ordinary words: each line is a paragraph once imported.
std::string TextFile(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    static const char* const words[] = {
        "the",    "contractor", "shall", "provide", "concrete", "reinforced",
        "joints", "sealant",    "per",   "ASTM",    "C920",     "surfaces",
        "clean",  "dry",        "and",   "free",    "of",       "dust"};
    std::string out;
    out.reserve(bytes + 1024);
    while (out.size() < bytes) {
        int count = 10 + static_cast<int>(random() % 71);
        for (int w = 0; w < count; ++w) {
            out += words[random() % 18];
            out += w + 1 < count ? ' ' : '\n';
        }
    }
    return out;
}

std::string ProgramFolder() {
    char path[4096];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string self(path, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/'));
}

// cadhost on a script, in its own process group so that a run past the timeout ends with the
// rsvg-convert it may have started.
Run RunCadhost(const std::string& cadhost, const std::string& script, const std::string& log,
               double timeout) {
    Run run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::string program = cadhost, flag = "-b", file = script;
    char* argv[] = {program.data(), flag.data(), file.data(), nullptr};
    pid_t pid = 0;
    Clock::time_point start = Clock::now();
    int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return run;
    }
    int status = 0;
    rusage usage{};
    for (;;) {
        pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::duration<double>(Clock::now() - start).count() > timeout) {
            ::kill(-pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            run.wall = timeout;
            return run;
        }
        ::usleep(2000);
    }
    run.finished = true;
    run.wall = std::chrono::duration<double>(Clock::now() - start).count();
    run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    run.ok = WIFEXITED(status) && text.find("Picture written to") != std::string::npos;
    return run;
}

// The median of `runs` runs of EXPORT of the text file into `picture`, in a box `width` wide.
Run Measure(const std::string& cadhost, const rivlet_test::TempFolder& folder,
            const std::string& textPath, const std::string& picture, double width, int runs,
            double timeout) {
    std::string script = folder / "export.scr";
    std::ofstream(script) << "MTEXT\n0,0\n"
                          << width << ",-2\nImport\n"
                          << textPath << "\nEXPORT\n"
                          << (folder / picture) << "\n";
    std::vector<Run> all;
    for (int r = 0; r < runs; ++r) {
        rivlet_test::TempFolder prefix("bench-export-prefix");
        ::setenv("CADHOST_PREFIX", prefix.path().c_str(), 1);
        all.push_back(RunCadhost(cadhost, script, folder / "log.txt", timeout));
        if (!all.back().finished)
            return all.back(); // a run past the timeout is not tried again
    }
    auto median = [&](double Run::*field) {
        std::vector<double> values;
        for (const Run& run : all)
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    Run result;
    result.finished = true;
    result.ok = std::all_of(all.begin(), all.end(), [](const Run& run) { return run.ok; });
    result.wall = median(&Run::wall);
    result.cpu = median(&Run::cpu);
    result.peakMB = median(&Run::peakMB);
    return result;
}

void Print(const char* what, double textMB, const Run& run, double timeout) {
    if (!run.finished) {
        std::printf("  %-4s %5.1f MB text: did not finish in %.0f s\n", what, textMB, timeout);
        return;
    }
    std::printf("  %-4s %5.1f MB text: %7.2f s wall, %7.2f s CPU, peak %7.1f MB (%5.2f x the "
                "text)%s\n",
                what, textMB, run.wall, run.cpu, run.peakMB, run.peakMB / textMB,
                run.ok ? "" : "  FAILED (see the log)");
}

void Growth(const char* what, const std::vector<double>& sizes, const std::vector<Run>& runs) {
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        if (!runs[i - 1].finished || !runs[i].finished)
            continue;
        std::printf("  %-4s growth %4.0f -> %4.0f MB (text x%.2f): wall x%.2f, CPU x%.2f, "
                    "peak memory x%.2f\n",
                    what, sizes[i - 1], sizes[i], sizes[i] / sizes[i - 1],
                    runs[i].wall / runs[i - 1].wall, runs[i].cpu / runs[i - 1].cpu,
                    runs[i].peakMB / runs[i - 1].peakMB);
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::vector<double> sizes = {1, 5, 20};
    bool svg = false;
    double timeout = 120.0;
    std::string cadhost = ProgramFolder() + "/cadhost";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--sizes" && i + 1 < argc) {
            sizes.clear();
            for (char* part = std::strtok(argv[++i], ","); part; part = std::strtok(nullptr, ","))
                sizes.push_back(std::atof(part));
        } else if (arg == "--svg") {
            svg = true;
        } else if (arg == "--timeout" && i + 1 < argc) {
            timeout = std::atof(argv[++i]);
        } else if (arg == "--cadhost" && i + 1 < argc) {
            cadhost = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_export_large [--runs N] [--sizes 1,5,20] [--svg] "
                                 "[--timeout SECONDS] [--cadhost PATH]\n");
            return 2;
        }
    }
    rivlet_test::TempFolder folder("bench-export-large");
    std::printf("EXPORT of one MText imported from a text file (box 40 wide, text height 0.2) "
                "through %s, median of %d runs:\n",
                cadhost.c_str(), runs);
    std::vector<Run> pngRuns, svgRuns;
    for (double mb : sizes) {
        std::string text = TextFile(static_cast<std::size_t>(mb * 1024 * 1024), 7);
        std::string textPath = folder / "text.txt";
        std::ofstream(textPath, std::ios::binary) << text;
        double textMB = static_cast<double>(text.size()) / (1024.0 * 1024.0);
        pngRuns.push_back(Measure(cadhost, folder, textPath, "picture.png", 40.0, runs, timeout));
        Print("PNG", textMB, pngRuns.back(), timeout);
        if (svg) {
            svgRuns.push_back(
                Measure(cadhost, folder, textPath, "picture.svg", 40.0, runs, timeout));
            Print("SVG", textMB, svgRuns.back(), timeout);
        }
    }
    Growth("PNG", sizes, pngRuns);
    if (svg)
        Growth("SVG", sizes, svgRuns);
    if (!sizes.empty() && pngRuns.back().finished) {
        const Run& last = pngRuns.back();
        std::printf("  PNG of %.0f MB: %.2f s wall (target under 5 s), peak %.0f MB (target "
                    "under 10 x the text: %.0f MB)\n",
                    sizes.back(), last.wall, last.peakMB, 10.0 * sizes.back());
    }

    // One word of 200,000 letters in a box 2 units wide.
    using namespace cadhost::text;
    std::printf("A word of 200,000 letters in a box 2 wide (text height 0.2):\n");
    for (std::size_t letters : {std::size_t{100000}, std::size_t{200000}}) {
        std::string word(letters, 'w');
        std::vector<double> seconds;
        std::size_t lines = 0;
        MTextFlowWork before = MTextFlowWorkDone();
        for (int r = 0; r < std::max(runs, 3); ++r) {
            Clock::time_point start = Clock::now();
            lines = LayOutMText(word, 0.2, 2.0, "Arial").lines.size();
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        }
        MTextFlowWork after = MTextFlowWorkDone();
        std::sort(seconds.begin(), seconds.end());
        double layouts = static_cast<double>(seconds.size());
        std::printf("  layout of %zu letters: %.4f s (median), %zu lines; per layout %.0f advances "
                    "looked up, %.0f glyphs copied\n",
                    letters, seconds[seconds.size() / 2], lines,
                    static_cast<double>(after.advances - before.advances) / layouts,
                    static_cast<double>(after.glyphCopies - before.glyphCopies) / layouts);
    }
    std::string wordPath = folder / "word.txt";
    std::ofstream(wordPath, std::ios::binary) << std::string(200000, 'w') << "\n";
    Run word = Measure(cadhost, folder, wordPath, "word.png", 2.0, runs, timeout);
    Print("PNG", 200000.0 / (1024.0 * 1024.0), word, timeout);
    return 0;
}
