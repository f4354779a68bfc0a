#include "process_program.h"

#include "cmdline_words.h"

#include "win/paths.h"

#include <cctype>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace win::detail {
namespace {

bool Exists(const std::string& hostPath, bool directoriesToo) {
    struct stat st {};
    if (hostPath.empty() || stat(hostPath.c_str(), &st) != 0)
        return false;
    return directoriesToo || !S_ISDIR(st.st_mode);
}

bool EndsWithExe(const std::string& name) {
    if (name.size() < 5)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".exe" && name[name.size() - 5] != '/';
}

// The file itself, or for "X.exe" the file "X" when only that exists.
std::string ExistingProgramFile(const std::string& hostPath, bool directoriesToo) {
    if (Exists(hostPath, directoriesToo))
        return hostPath;
    if (EndsWithExe(hostPath)) {
        std::string bare = hostPath.substr(0, hostPath.size() - 4);
        if (Exists(bare, false))
            return bare;
    }
    return "";
}

bool HasPathParts(const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos)
        return true;
    return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

std::string SearchPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t colon = folders.find(':', start);
        if (colon == std::string::npos)
            colon = folders.size();
        std::string folder = folders.substr(start, colon - start);
        start = colon + 1;
        // An empty entry would mean the current directory; a program is not picked up from
        // wherever the user happens to be.
        if (folder.empty())
            continue;
        std::string found = ExistingProgramFile(folder + "/" + name, false);
        if (!found.empty())
            return found;
    }
    return "";
}

std::string LocateProgram(const std::string& name, bool searchPath) {
    if (name.empty())
        return "";
    if (!HasPathParts(name) && searchPath)
        return SearchPath(name);
    return ExistingProgramFile(ToHostPath(name), true);
}

} // namespace

ProgramChoice ChooseProgramOfCommandLine(std::string_view commandLine) {
    while (!commandLine.empty() && IsCommandLineBlank(commandLine.front()))
        commandLine.remove_prefix(1);
    ProgramChoice choice;
    std::size_t rest = 0;
    choice.name = ProgramNameOf(commandLine, &rest);
    bool quoted = !commandLine.empty() && commandLine.front() == '"';
    choice.hostPath = LocateProgram(choice.name, true);
    if (choice.hostPath.empty() && !quoted) {
        // An unquoted name with blanks in it: try it up to each later blank, then whole.
        for (std::size_t end = rest; end < commandLine.size(); ++end) {
            bool endsHere =
                !IsCommandLineBlank(commandLine[end]) &&
                (end + 1 == commandLine.size() || IsCommandLineBlank(commandLine[end + 1]));
            if (!endsHere)
                continue;
            std::string candidate(commandLine.substr(0, end + 1));
            std::string found = LocateProgram(candidate, true);
            if (!found.empty()) {
                choice.name = candidate;
                choice.hostPath = found;
                rest = end + 1;
                break;
            }
        }
    }
    choice.arguments = SplitArguments(commandLine.substr(rest));
    return choice;
}

ProgramChoice ChooseNamedProgram(const std::string& applicationName, const char* commandLine) {
    ProgramChoice choice;
    choice.name = applicationName;
    choice.hostPath = LocateProgram(applicationName, false);
    if (commandLine) {
        std::string_view line(commandLine);
        while (!line.empty() && IsCommandLineBlank(line.front()))
            line.remove_prefix(1);
        std::size_t rest = 0;
        ProgramNameOf(line, &rest);
        choice.arguments = SplitArguments(line.substr(rest));
    }
    return choice;
}

DWORD CheckRunnable(const std::string& hostPath) {
    struct stat st {};
    if (stat(hostPath.c_str(), &st) != 0)
        return ERROR_FILE_NOT_FOUND;
    if (S_ISDIR(st.st_mode) || access(hostPath.c_str(), X_OK) != 0)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

bool IsDriveLetterPath(std::string_view text) {
    return text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) &&
           text[1] == ':' && (text[2] == '\\' || text[2] == '/');
}

std::string TranslateArgument(const std::string& argument) {
    if (!IsDriveLetterPath(argument))
        return argument;
    std::string host = ToHostPath(argument);
    return host.empty() ? argument : host;
}

} // namespace win::detail
