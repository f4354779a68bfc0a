#include "registration.h"

#include "server.h"
#include "worker.h"

#include "win/paths.h"
#include "win/registry.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace word {
namespace {

const std::string kApplicationClsid = win::GuidToString(CLSID_WordApplication);
const std::string kDocumentClsid = win::GuidToString(CLSID_WordDocument);

// Runs python3 -c "import uno" quietly: whether the module is there.
bool PythonHasUno(const std::string& python) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string c = "-c", code = "import uno";
    std::vector<char*> argv = {const_cast<char*>(python.c_str()), c.data(), code.data(), nullptr};
    pid_t pid = -1;
    int rc = posix_spawn(&pid, python.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SetDefault(const std::string& key, const std::string& value, std::string& error) {
    HKEY h = nullptr;
    LSTATUS status = RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &h, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
        RegCloseKey(h);
    }
    if (status != ERROR_SUCCESS)
        error =
            "cannot write HKEY_CLASSES_ROOT\\" + key + " (error " + std::to_string(status) + ")";
    return status == ERROR_SUCCESS;
}

std::string ProgramPath() {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    return n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
}

} // namespace

std::string MissingPrerequisite() {
    if (FindOnPath("soffice").empty())
        return "LibreOffice is not installed (no soffice on PATH)";
    std::string python = FindPython();
    if (python.empty())
        return "python3 is not installed";
    if (!PythonHasUno(python))
        return "the UNO module of python3 is not installed (python3-uno)";
    return "";
}

bool RegisterServer(std::string& error) {
    std::string server = "\"" + win::ToWindowsPath(ProgramPath()) + "\"";
    std::string app = "CLSID\\" + kApplicationClsid;
    std::string doc = "CLSID\\" + kDocumentClsid;
    return SetDefault("Word.Application", "Word Application", error) &&
           SetDefault("Word.Application\\CLSID", kApplicationClsid, error) &&
           SetDefault("Word.Application\\CurVer", "Word.Application.8", error) &&
           SetDefault("Word.Application.8", "Word Application", error) &&
           SetDefault("Word.Application.8\\CLSID", kApplicationClsid, error) &&
           SetDefault("Word.Document.8", "Word Document", error) &&
           SetDefault("Word.Document.8\\CLSID", kDocumentClsid, error) &&
           SetDefault(app, "Word Application", error) &&
           SetDefault(app + "\\LocalServer32", server, error) &&
           SetDefault(app + "\\ProgID", "Word.Application.8", error) &&
           SetDefault(app + "\\VersionIndependentProgID", "Word.Application", error) &&
           SetDefault(doc, "Word Document", error) &&
           SetDefault(doc + "\\ProgID", "Word.Document.8", error);
}

bool UnregisterServer(std::string& error) {
    for (const std::string& key :
         {std::string("Word.Application"), std::string("Word.Application.8"),
          std::string("Word.Document.8"), "CLSID\\" + kApplicationClsid,
          "CLSID\\" + kDocumentClsid}) {
        LSTATUS status = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            error = "cannot remove HKEY_CLASSES_ROOT\\" + key + " (error " +
                    std::to_string(status) + ")";
            return false;
        }
    }
    return true;
}

} // namespace word
