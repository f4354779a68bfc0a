// WordServer: the local server behind the ProgID Word.Application, on LibreOffice.
//
//   WordServer /RegServer     registers the ProgIDs and the class (refused, with status 1 and
//                             nothing written, when LibreOffice or python3-uno is missing)
//   WordServer /UnregServer   removes them
//   WordServer -Embedding     (also /Embedding, /Automation) serves, as the activation of the
//                             class starts it
//
// Switches take "/" or "-" and any letter case.
#include "registration.h"
#include "server.h"

#include "win/cmdline.h"
#include "win/crtstring.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

bool IsSwitch(const std::string& arg, const char* name) {
    return arg.size() > 1 && (arg[0] == '/' || arg[0] == '-') &&
           _stricmp(arg.c_str() + 1, name) == 0;
}

} // namespace

int main(int argc, char** argv) {
    win::SetProcessCommandLine(argc, argv);
    // A worker or a client that went away must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args = win::SplitCommandLine(GetCommandLineA());
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (IsSwitch(arg, "RegServer")) {
            if (std::string missing = word::MissingPrerequisite(); !missing.empty()) {
                std::fprintf(stderr, "WordServer: not registered: %s\n", missing.c_str());
                return 1;
            }
            if (!word::RegisterServer(error)) {
                std::fprintf(stderr, "WordServer: %s\n", error.c_str());
                return 1;
            }
            return 0;
        }
        if (IsSwitch(arg, "UnregServer")) {
            if (!word::UnregisterServer(error)) {
                std::fprintf(stderr, "WordServer: %s\n", error.c_str());
                return 1;
            }
            return 0;
        }
        if (IsSwitch(arg, "Embedding") || IsSwitch(arg, "Automation"))
            return word::RunServer();
    }
    std::fprintf(stderr, "usage: WordServer /RegServer | /UnregServer | -Embedding\n");
    return 1;
}
