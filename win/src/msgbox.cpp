#include "win/msgbox.h"

#include "win/crtstring.h"
#include "win/frontend.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <mutex>
#include <string>
#include <unistd.h>

namespace win {
namespace {

std::mutex g_msgboxMutex;
std::string g_applicationName;
bool g_applicationNameSet = false;

std::string EscapeLineBreaks(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

int AnswerOnStderr(const MessageBoxRequest& request) {
    int button = DefaultButtonOf(request.type);
    std::string line = "MessageBox [" + IconName(request.type) + "] " + request.caption + ": " +
                       EscapeLineBreaks(request.text) + " -> " + ButtonName(button) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return button;
}

std::string ProgramFileTitle() {
    std::array<char, 4096> path{};
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return "Application";
    std::string name(path.data(), static_cast<std::size_t>(n));
    name = name.substr(name.find_last_of('/') + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {};
    }
}

int DefaultButtonOf(UINT type) {
    std::vector<int> buttons = ButtonsOf(type);
    if (buttons.empty())
        return 0;
    std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

std::string ButtonName(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "";
    }
}

std::string IconName(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return "stop";
    case MB_ICONQUESTION:
        return "question";
    case MB_ICONEXCLAMATION:
        return "warning";
    case MB_ICONASTERISK:
        return "information";
    default:
        return "";
    }
}

int ParseButton(std::string_view name, UINT type) {
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front())))
        name.remove_prefix(1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
        name.remove_suffix(1);
    for (int id : ButtonsOf(type)) {
        if (_stricmp(std::string(name).c_str(), ButtonName(id).c_str()) == 0)
            return id;
    }
    return 0;
}

void SetApplicationName(std::string name) {
    std::lock_guard lock(g_msgboxMutex);
    g_applicationName = std::move(name);
    g_applicationNameSet = true;
}

std::string ApplicationName() {
    std::lock_guard lock(g_msgboxMutex);
    if (!g_applicationNameSet) {
        g_applicationName = ProgramFileTitle();
        g_applicationNameSet = true;
    }
    return g_applicationName;
}

} // namespace win

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    std::vector<int> buttons = win::ButtonsOf(uType);
    if (buttons.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    win::MessageBoxRequest request{lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType};
    win::FrontEnd* frontEnd = win::GetFrontEnd();
    if (!frontEnd)
        return win::AnswerOnStderr(request);
    int answer = frontEnd->ShowMessageBox(request);
    for (int id : buttons) {
        if (id == answer)
            return answer;
    }
    int fallback = win::DefaultButtonOf(uType);
    std::string note = "MessageBox: answer " + std::to_string(answer) + " is not a button of \"" +
                       win::EscapeLineBreaks(request.text) + "\"; pressing " +
                       win::ButtonName(fallback) + "\n";
    std::fputs(note.c_str(), stderr);
    return fallback;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    std::string caption = win::ApplicationName();
    return MessageBoxA(nullptr, lpszText, caption.c_str(), nType);
}
