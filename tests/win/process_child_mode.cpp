// When the process tests start this very program as a child, it does the child's part and
// ends before any test runs.  The mode and the output file come in the environment.
#include "win/cmdline.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> OwnArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t zero = raw.find('\0', start);
        args.emplace_back(raw, start, zero - start);
        start = zero + 1;
    }
    return args;
}

bool RunChildPart() {
    const char* mode = std::getenv("WINPLAT_TEST_CHILD");
    const char* out = std::getenv("WINPLAT_TEST_CHILD_OUT");
    if (!mode || !out)
        return false;
    std::ofstream file(out, std::ios::binary);
    std::string which(mode);
    if (which == "command-line") {
        file << GetCommandLineA();
    } else if (which == "set-command-line") {
        std::vector<std::string> args = OwnArguments();
        std::vector<const char*> argv;
        for (const auto& arg : args)
            argv.push_back(arg.c_str());
        argv.push_back(nullptr);
        win::SetProcessCommandLine(static_cast<int>(args.size()), argv.data());
        file << GetCommandLineA() << '\n'
             << (std::getenv(win::kCommandLineVariable) ? "still set" : "removed");
    } else if (which == "arguments") {
        for (const auto& arg : OwnArguments())
            file << arg << '\n';
    }
    file.close();
    _exit(0);
}

[[maybe_unused]] const bool g_childPartDone = RunChildPart();

} // namespace
