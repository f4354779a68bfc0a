// The two halves of command-line splitting, for CreateProcessA, which has to find the program
// by its own rules before it splits the arguments that follow it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace win::detail {

inline bool IsCommandLineBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program name at the start of a command line and where the rest begins (just after the
// closing quote of a quoted name, or at the blank that ends an unquoted one).
std::string ProgramNameOf(std::string_view commandLine, std::size_t* restBegins);

// The arguments of the text that follows the program name.
std::vector<std::string> SplitArguments(std::string_view text);

} // namespace win::detail
