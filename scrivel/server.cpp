#include "server.h"

#include "registrar.h"
#include "registry_failure.h"
#include "resources.h"
#include "type_library.h"

#include "win/cmdline.h"
#include "win/crtstring.h"
#include "win/paths.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <unistd.h>

namespace scrivel {
namespace {

Replacements ScriptReplacements(const ServerModule& module) {
    return {{"APPID", std::string(kAppId)}, {"MODULE", module.ProgramPath()}};
}

} // namespace

Command CommandOf(std::string_view commandLine) {
    std::vector<std::string> words = win::SplitCommandLine(commandLine);
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || (word.front() != '-' && word.front() != '/'))
            continue;
        std::string_view name = std::string_view(word).substr(1);
        if (_stricmp(std::string(name).c_str(), "UnregServer") == 0)
            return Command::UnregisterServer;
        if (_stricmp(std::string(name).c_str(), "RegServer") == 0)
            return Command::RegisterServer;
    }
    return Command::RunServer;
}

HRESULT ServerModule::Initialize() {
    std::array<char, 4096> path{};
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return E_FAIL;
    m_programPath = win::ToWindowsPath(std::string(path.data(), static_cast<std::size_t>(n)));
    std::size_t sep = m_programPath.find_last_of('\\');
    if (m_programPath.empty() || sep == std::string::npos)
        return E_FAIL;
    m_programFolder = m_programPath.substr(0, sep);
    return S_OK;
}

HRESULT ServerModule::RegisterServer(std::string* error) const {
    std::optional<std::string_view> script = FindRegistrarScript(kRegistrarScriptId);
    const TypeLibraryResource* library = FindTypeLibrary(kTypeLibraryId);
    if (!script || !library)
        return E_FAIL;
    HRESULT hr = RegisterScript(*script, ScriptReplacements(*this), error);
    if (FAILED(hr))
        return hr;
    return RegisterTypeLibrary(*library, m_programPath, m_programFolder, error);
}

HRESULT ServerModule::UnregisterServer(std::string* error) const {
    std::optional<std::string_view> script = FindRegistrarScript(kRegistrarScriptId);
    const TypeLibraryResource* library = FindTypeLibrary(kTypeLibraryId);
    if (!script || !library)
        return E_FAIL;
    HRESULT hr = UnregisterTypeLibrary(*library, error);
    if (FAILED(hr))
        return hr;
    return UnregisterScript(*script, ScriptReplacements(*this), error);
}

int RunScrivel(std::string_view commandLine) {
    ServerModule module;
    if (FAILED(module.Initialize())) {
        std::fprintf(stderr, "Scrivel: cannot find its own program file\n");
        return -1;
    }
    Command command = CommandOf(commandLine);
    if (command == Command::RunServer) {
        // Started as a server (by the CAD host as its MText editor, say, with a file's path).
        // The program serves no classes, so there is nothing to offer clients and none can
        // connect: there is no message loop to run and the program ends at once, touching no
        // file.
        return 0;
    }
    std::string error;
    bool registering = command == Command::RegisterServer;
    HRESULT hr = registering ? module.RegisterServer(&error) : module.UnregisterServer(&error);
    if (FAILED(hr)) {
        // What failed when the step said so, else what the result means.
        std::fprintf(stderr, "Scrivel: could not %s: %s\n", registering ? "register" : "unregister",
                     (error.empty() ? ResultMeaning(hr) : error).c_str());
    }
    return hr;
}

int ExitStatusOf(int code) {
    int status = code & 0xFF;
    if (code < 0 && status == 0)
        return 1;
    return status;
}

} // namespace scrivel
