// rivlet-setup: what the module's installer does on a new machine.  It records the
// installation folder under HKEY_LOCAL_MACHINE "Software\Kestrune\VIZUDaro" "location" (with
// its trailing separator, since file names are appended to it directly), registers Scrivel
// (Scrivel.exe /RegServer), registers the word processor beside it (WordPad) under the App Paths
// entry of WORDPAD.EXE when it is there, registers the Word server beside it (WordServer.exe
// /RegServer) when it is there, and creates the folder C:\KSR\Rivlet for the conversion
// output.  A Word server that refuses to register (no LibreOffice on this machine) is reported
// and the rest installed: the module works without it, only Word documents are not converted.
//
//   rivlet-setup [INSTALL_FOLDER]     (default: the folder this program is in)
#include "win/cmdline.h"
#include "win/paths.h"
#include "win/process.h"
#include "win/registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "rivlet-setup: %s\n", message.c_str());
    return 1;
}

std::string SelfFolder() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}

bool WriteLocation(const std::string& location) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc =
        RegSetValueExA(key, "location", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                       static_cast<DWORD>(location.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// Registers the word processor beside the module under the App Paths entry that the
// preferences look WordPad up in; false when it cannot be written.
bool WriteWordPadAppPath(const std::string& location) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WORDPAD.EXE", 0,
                        nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    std::string program = location + "WordPad.exe";
    LONG rc = RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                             static_cast<DWORD>(program.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// Runs "<folder><program> /RegServer" and answers its exit status (-1 when it did not run).
long RegisterServer(const std::string& location, const char* program) {
    std::optional<DWORD> status =
        win::RunAndWait(win::QuoteArgument(location + program) + " /RegServer");
    return status ? static_cast<long>(*status) : -1;
}

} // namespace

int main(int argc, char** argv) {
    win::SetProcessCommandLine(argc, argv);
    if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind("-", 0) == 0)) {
        std::fputs("usage: rivlet-setup [INSTALL_FOLDER]\n", argc == 2 ? stdout : stderr);
        return argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") ? 0
                                                                                               : 2;
    }
    std::string folder = argc == 2 ? argv[1] : SelfFolder();
    if (char* absolute = ::realpath(folder.c_str(), nullptr)) {
        folder = absolute;
        std::free(absolute);
    }
    if (::access((folder + "/KSRRivlet.arx").c_str(), R_OK) != 0)
        return Fail("no KSRRivlet.arx in " + folder);
    std::string location = win::ToWindowsPath(folder);
    if (location.empty() || location.back() != '\\')
        location += '\\';
    if (!WriteLocation(location))
        return Fail("cannot write the installation folder to the registry");
    long status = RegisterServer(location, "Scrivel.exe");
    if (status == -1)
        return Fail("cannot start " + location + "Scrivel.exe");
    if (status != 0)
        return Fail("Scrivel.exe /RegServer failed with status " + std::to_string(status));
    if (::access((folder + "/WordPad").c_str(), X_OK) == 0 && !WriteWordPadAppPath(location))
        return Fail("cannot register the word processor under App Paths");
    if (::access((folder + "/WordServer").c_str(), X_OK) == 0 &&
        RegisterServer(location, "WordServer.exe") != 0)
        std::fprintf(stderr, "rivlet-setup: Word documents will not be converted: "
                             "WordServer.exe /RegServer failed\n");
    if (!win::CreateDirectories("C:\\KSR\\Rivlet"))
        return Fail("cannot create C:\\KSR\\Rivlet");
    std::printf("KSRRivlet installed in %s (prefix %s)\n", location.c_str(),
                win::PrefixFolder().c_str());
    return 0;
}
