#include "win/cmdline.h"

#include "cmdline_words.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <unistd.h>

namespace win::detail {

std::string ProgramNameOf(std::string_view commandLine, std::size_t* restBegins) {
    std::size_t end = 0;
    std::string name;
    if (!commandLine.empty() && commandLine.front() == '"') {
        std::size_t close = commandLine.find('"', 1);
        if (close == std::string_view::npos) {
            name = commandLine.substr(1);
            end = commandLine.size();
        } else {
            name = commandLine.substr(1, close - 1);
            end = close + 1;
        }
    } else {
        while (end < commandLine.size() && !IsCommandLineBlank(commandLine[end]))
            ++end;
        name = commandLine.substr(0, end);
    }
    if (restBegins)
        *restBegins = end;
    return name;
}

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = text.size();
    for (;;) {
        while (i < n && IsCommandLineBlank(text[i]))
            ++i;
        if (i == n)
            return args;
        std::string word;
        bool quoted = false;
        while (i < n) {
            char c = text[i];
            if (c == '\\') {
                std::size_t run = 0;
                while (i < n && text[i] == '\\') {
                    ++run;
                    ++i;
                }
                if (i < n && text[i] == '"') {
                    word.append(run / 2, '\\');
                    if (run % 2 == 1) {
                        word += '"';
                        ++i;
                    }
                    // An even run leaves the quote for the next round, where it groups.
                } else {
                    word.append(run, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < n && text[i + 1] == '"') {
                    word += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else if (IsCommandLineBlank(c) && !quoted) {
                break;
            } else {
                word += c;
                ++i;
            }
        }
        args.push_back(std::move(word));
    }
}

} // namespace win::detail

namespace win {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> words;
    if (commandLine.empty())
        return words;
    std::size_t rest = 0;
    words.push_back(detail::ProgramNameOf(commandLine, &rest));
    for (auto& arg : detail::SplitArguments(commandLine.substr(rest)))
        words.push_back(std::move(arg));
    return words;
}

std::string QuoteArgument(std::string argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Backslashes before the closing quote must not escape it.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

namespace {

std::string QuoteProgramName(std::string name) {
    bool needsQuotes =
        name.empty() || name.front() == '"' || name.find_first_of(" \t") != std::string::npos;
    if (!needsQuotes)
        return name;
    std::erase(name, '"');
    return "\"" + name + "\"";
}

std::mutex g_commandLineMutex;
std::string g_commandLine;
bool g_commandLineSet = false;

// The command line a parent of this layer handed down, when it was meant for this process.
bool InheritedCommandLine(std::string* out) {
    const char* value = std::getenv(kCommandLineVariable);
    if (!value)
        return false;
    std::string_view text(value);
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    char* end = nullptr;
    std::string pidText(text.substr(0, colon));
    long pid = std::strtol(pidText.c_str(), &end, 10);
    if (end != pidText.c_str() + pidText.size() || pid != static_cast<long>(getpid()))
        return false;
    *out = std::string(text.substr(colon + 1));
    return true;
}

std::string CommandLineFromProc() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t zero = raw.find('\0', start);
        if (zero == std::string::npos)
            zero = raw.size();
        args.emplace_back(raw, start, zero - start);
        start = zero + 1;
    }
    return JoinCommandLine(args);
}

} // namespace

std::string JoinCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += i == 0 ? QuoteProgramName(args[i]) : QuoteArgument(args[i]);
    }
    return line;
}

void SetProcessCommandLine(int argc, const char* const* argv) {
    std::string line;
    if (!InheritedCommandLine(&line)) {
        std::vector<std::string> args;
        for (int i = 0; i < argc && argv && argv[i]; ++i)
            args.emplace_back(argv[i]);
        line = JoinCommandLine(args);
    }
    unsetenv(kCommandLineVariable);
    std::lock_guard lock(g_commandLineMutex);
    g_commandLine = std::move(line);
    g_commandLineSet = true;
}

} // namespace win

LPSTR GetCommandLineA() {
    std::lock_guard lock(win::g_commandLineMutex);
    if (!win::g_commandLineSet) {
        if (!win::InheritedCommandLine(&win::g_commandLine))
            win::g_commandLine = win::CommandLineFromProc();
        win::g_commandLineSet = true;
    }
    return win::g_commandLine.data();
}
