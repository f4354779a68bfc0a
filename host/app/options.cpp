#include "app/options.h"

namespace cadhost::app {

const char* const kUsage =
    "usage: cadhost [--gui] [--load MODULE]... [-b SCRIPT] [FILE]\n"
    "\n"
    "A CAD host.  Without -b it reads commands from the terminal at a \"Command:\"\n"
    "prompt, or from standard input when that is not a terminal.\n"
    "\n"
    "  --gui          run in a window: a drawing view with the command line below it; a\n"
    "                 script plays step by step ($CADHOST_STEP_MS milliseconds between its\n"
    "                 lines, 400 by default) and the window stays when it ends without QUIT\n"
    "  --load MODULE  load a module (a .arx file) before the first command; may be repeated\n"
    "  -b SCRIPT      run the commands of SCRIPT, one input per line, then exit\n"
    "  FILE           a drawing to open at start\n"
    "  --help         show this text\n"
    "  --version      show the host's version\n"
    "\n"
    "A script run exits with 0 when every command did what it asked, with 1 when any could\n"
    "not (or the drawing or a module given here cannot be loaded), with 2 for a wrong command\n"
    "line or a script that cannot be read.\n"
    "\n"
    "Ctrl+C at the terminal cancels the prompt that waits; QUIT ends the session.  Ctrl+C\n"
    "while a script runs stops it: the lines left are not run, and cadhost ends as\n"
    "interrupted (status 130).\n"
    "\n"
    "The prefix folder (registry hives, drive C:) is $CADHOST_PREFIX, or\n"
    "$XDG_DATA_HOME/cadhost, or ~/.local/share/cadhost.\n";

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const std::string& name) -> std::optional<std::string> {
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--gui") {
            options.gui = true;
        } else if (arg == "--load" || arg == "-l") {
            auto v = value(arg);
            if (!v)
                return std::nullopt;
            options.modules.push_back(*v);
        } else if (arg.rfind("--load=", 0) == 0) {
            options.modules.push_back(arg.substr(7));
        } else if (arg == "-b" || arg == "--script") {
            auto v = value(arg);
            if (!v)
                return std::nullopt;
            if (options.script) {
                error = "only one script may be given";
                return std::nullopt;
            }
            options.script = *v;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg + " (see cadhost --help)";
            return std::nullopt;
        } else {
            if (options.drawing) {
                error = "only one drawing may be given (" + *options.drawing + ", " + arg + ")";
                return std::nullopt;
            }
            options.drawing = arg;
        }
    }
    return options;
}

} // namespace cadhost::app
