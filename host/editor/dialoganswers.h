// Message boxes and file dialogs of a headless host: each is shown on the command line and
// answered by the script line that follows it ("msgbox <button>", "filedlg <path>" or
// "filedlg cancel"), by the person at the terminal, or else by its default.
#pragma once

#include <string>

namespace cadhost::editor {

struct Session;

class DialogAnswers {
public:
    explicit DialogAnswers(Session& session); // installs the answerers
    ~DialogAnswers();                         // restores the previous ones
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

private:
    struct Saved;
    Saved* m_saved;
};

// The answer a script gives with a line "<keyword> <answer>" when the next line has that
// form; the line is taken.  Empty when the next line is something else.
bool TakeScriptedAnswer(Session& session, const std::string& keyword, std::string& answer);

} // namespace cadhost::editor
