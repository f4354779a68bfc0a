#include "editor/scriptedfrontend.h"

#include "editor/session.h"

#include "win/filedialog.h"
#include "win/msgbox.h"
#include "win/window.h"

#include <strings.h>

#include <optional>

namespace cadhost::editor {

namespace {

std::string ButtonList(UINT type) {
    std::string list;
    for (int id : win::ButtonsOf(type)) {
        if (!list.empty())
            list += "/";
        list += win::ButtonName(id);
    }
    return list;
}

void PrintBox(Session& s, const win::MessageBoxRequest& box) {
    std::string icon = win::IconName(box.type);
    s.cmdline.printBlock("** MessageBox (" + (icon.empty() ? "" : icon + ", ") +
                         ButtonList(box.type) + "): " + box.text + "\n");
}

int AnswerMessageBox(Session& s, const win::MessageBoxRequest& box) {
    std::string buttons = ButtonList(box.type);
    PrintBox(s, box);
    int answer = win::DefaultButtonOf(box.type);
    std::string scripted;
    if (TakeScriptedAnswer(s, "msgbox", scripted)) {
        int id = win::ParseButton(scripted, box.type);
        if (id)
            answer = id;
        else
            s.cmdline.printBlock("** MessageBox has no button \"" + scripted + "\"; " +
                                 win::ButtonName(answer) + " is taken\n");
    } else if (s.script.empty() && s.script.hasTerminal()) {
        s.cmdline.prompt("Answer [" + buttons + "] <" + win::ButtonName(answer) + ">: ");
        std::string typed;
        if (s.script.readTerminal(typed)) {
            s.cmdline.echoInput(typed);
            if (int id = win::ParseButton(typed, box.type))
                answer = id;
        }
    }
    s.cmdline.printBlock("** MessageBox answered " + win::ButtonName(answer));
    return answer;
}

// A file dialog: shown as one line with its title and file types, answered by the script's
// "filedlg <path>" or "filedlg cancel", or at the terminal; with no answer it is cancelled.
void PrintFileDialog(Session& s, const win::FileDialogRequest& dialog) {
    std::string types;
    for (const win::FileFilter& f : dialog.filters)
        types += (types.empty() ? "" : "; ") + f.description + " " + f.pattern;
    const char* kind = dialog.foldersOnly ? "Folder" : dialog.open ? "Open" : "Save As";
    s.cmdline.printBlock(std::string("** FileDialog (") + kind + "): \"" + dialog.title + "\"" +
                         (types.empty() ? "" : " [" + types + "]"));
}

std::optional<std::string> AnswerFileDialog(Session& s, const win::FileDialogRequest& dialog) {
    PrintFileDialog(s, dialog);
    std::string answer;
    bool answered = TakeScriptedAnswer(s, "filedlg", answer);
    if (!answered && s.script.empty() && s.script.hasTerminal()) {
        s.cmdline.prompt("File name (or cancel): ");
        answered = s.script.readTerminal(answer);
        if (answered)
            s.cmdline.echoInput(answer);
    }
    if (!answered || answer.empty() || strcasecmp(answer.c_str(), "cancel") == 0) {
        s.cmdline.printBlock(answered ? "** FileDialog cancelled"
                                      : "** FileDialog cancelled (no filedlg answer follows)");
        return std::nullopt;
    }
    s.cmdline.printBlock("** FileDialog answered " + answer);
    return answer;
}

} // namespace

bool TakeScriptedAnswer(Session& session, const std::string& keyword, std::string& answer) {
    auto next = session.script.peek();
    if (!next)
        return false;
    const std::string& line = *next;
    if (line.size() < keyword.size() || strncasecmp(line.c_str(), keyword.c_str(), keyword.size()))
        return false;
    if (line.size() > keyword.size() && line[keyword.size()] != ' ')
        return false;
    session.script.take();
    std::size_t start = line.find_first_not_of(' ', keyword.size());
    answer = start == std::string::npos ? std::string() : line.substr(start);
    while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\r'))
        answer.pop_back();
    return true;
}

ScriptedFrontEnd::ScriptedFrontEnd(Session& session)
    : m_session(session), m_previous(win::SetFrontEnd(this)) {}

ScriptedFrontEnd::~ScriptedFrontEnd() {
    win::SetFrontEnd(m_previous);
}

int ScriptedFrontEnd::ShowMessageBox(const win::MessageBoxRequest& box) {
    return AnswerMessageBox(m_session, box);
}

std::optional<std::string> ScriptedFrontEnd::ShowFileDialog(const win::FileDialogRequest& dialog) {
    return AnswerFileDialog(m_session, dialog);
}

namespace {

std::string Caption(HWND dialog) {
    win::WindowInfo info;
    return win::GetWindowInfo(dialog, info) ? info.text : std::string();
}

bool IsDialogLine(const std::string& line) {
    return line.size() >= 3 && strncasecmp(line.c_str(), "dlg", 3) == 0 &&
           (line.size() == 3 || line[3] == ' ');
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    std::size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : text.substr(start);
}

} // namespace

bool ScriptedFrontEnd::NextDialogInput(HWND dialog) {
    Session& s = m_session;
    std::string caption = Caption(dialog);
    std::string action;
    auto next = s.script.peek();
    if (next && IsDialogLine(*next)) {
        action = Trimmed(next->substr(3));
        s.script.take();
        s.cmdline.printBlock("** dlg " + action);
    } else if (!next && s.script.hasTerminal()) {
        s.cmdline.prompt("Dialog \"" + caption + "\" (dlg action, or Enter to cancel): ");
        std::string typed;
        if (!s.script.readTerminal(typed) || Trimmed(typed).empty()) {
            s.cmdline.echoInput(typed);
            s.cmdline.printBlock("** Dialog \"" + caption + "\" cancelled");
            return false;
        }
        s.cmdline.echoInput(typed);
        action = Trimmed(typed);
        if (IsDialogLine(action))
            action = Trimmed(action.substr(3));
    } else {
        s.cmdline.printBlock("** Dialog \"" + caption + "\" cancelled (no dlg line follows)");
        return false;
    }
    RunDialogAction(s, dialog, action);
    return true;
}

bool ScriptedFrontEnd::HasScriptLines() {
    return !m_session.script.empty();
}

void ScriptedFrontEnd::RecordMessageBox(const win::MessageBoxRequest& box, int answer) {
    PrintBox(m_session, box);
    m_session.cmdline.printBlock("** MessageBox answered " + win::ButtonName(answer));
}

void ScriptedFrontEnd::RecordFileDialog(const win::FileDialogRequest& dialog,
                                        const std::optional<std::string>& answer) {
    PrintFileDialog(m_session, dialog);
    m_session.cmdline.printBlock(answer ? "** FileDialog answered " + *answer
                                        : std::string("** FileDialog cancelled"));
}

void ScriptedFrontEnd::DialogOpened(HWND dialog) {
    m_session.cmdline.printBlock("** Dialog \"" + Caption(dialog) + "\"");
}

void ScriptedFrontEnd::DialogClosed(HWND dialog, INT_PTR result) {
    m_session.cmdline.printBlock("** Dialog \"" + Caption(dialog) + "\" ended with " +
                                 std::to_string(result));
}

} // namespace cadhost::editor
