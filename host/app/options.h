// The command line of the cadhost program.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cadhost::app {

struct Options {
    std::vector<std::string> modules;   // --load, in order
    std::optional<std::string> script;  // -b
    std::optional<std::string> drawing; // FILE
    bool help = false;
    bool version = false;
    bool gui = false; // --gui: the host in a window
};

// Parses argv; on a bad option returns nullopt and sets error to a one-line message.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

extern const char* const kUsage;

} // namespace cadhost::app
