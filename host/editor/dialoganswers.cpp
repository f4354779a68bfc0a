#include "editor/dialoganswers.h"

#include "editor/session.h"

#include "win/filedialog.h"
#include "win/msgbox.h"

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

int AnswerMessageBox(Session& s, const win::MessageBoxRequest& box) {
    std::string icon = win::IconName(box.type);
    std::string buttons = ButtonList(box.type);
    s.cmdline.printBlock("** MessageBox (" + (icon.empty() ? "" : icon + ", ") + buttons +
                    "): " + box.text + "\n");
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
std::optional<std::string> AnswerFileDialog(Session& s, const win::FileDialogRequest& dialog) {
    std::string types;
    for (const win::FileFilter& f : dialog.filters)
        types += (types.empty() ? "" : "; ") + f.description + " " + f.pattern;
    s.cmdline.printBlock(std::string("** FileDialog (") + (dialog.open ? "Open" : "Save As") +
                         "): \"" + dialog.title + "\"" + (types.empty() ? "" : " [" + types + "]"));
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

struct DialogAnswers::Saved {
    win::MessageBoxAnswerer messageBoxes;
    win::FileDialogAnswerer fileDialogs;
};

DialogAnswers::DialogAnswers(Session& session) : m_saved(new Saved) {
    m_saved->messageBoxes = win::SetMessageBoxAnswerer(
        [&session](const win::MessageBoxRequest& box) { return AnswerMessageBox(session, box); });
    m_saved->fileDialogs = win::SetFileDialogAnswerer(
        [&session](const win::FileDialogRequest& dialog) {
            return AnswerFileDialog(session, dialog);
        });
}

DialogAnswers::~DialogAnswers() {
    win::SetMessageBoxAnswerer(m_saved->messageBoxes);
    win::SetFileDialogAnswerer(m_saved->fileDialogs);
    delete m_saved;
}

} // namespace cadhost::editor
