// The scripted front end of the headless host: message boxes, file dialogs and dialogs are
// shown on the command line and answered by the script lines that follow them ("msgbox
// <button>", "filedlg <path>" or "filedlg cancel", "dlg <action>"), by the person at the
// terminal, or else by their defaults (a dialog without a "dlg" line is closed as Escape
// closes it).
#pragma once

#include "win/frontend.h"

#include <string>

namespace cadhost::editor {

struct Session;

class ScriptedFrontEnd final : public win::FrontEnd {
public:
    explicit ScriptedFrontEnd(Session& session); // installs itself
    ~ScriptedFrontEnd() override;                // puts the previous front end back
    ScriptedFrontEnd(const ScriptedFrontEnd&) = delete;
    ScriptedFrontEnd& operator=(const ScriptedFrontEnd&) = delete;

    int ShowMessageBox(const win::MessageBoxRequest& box) override;
    std::optional<std::string> ShowFileDialog(const win::FileDialogRequest& dialog) override;
    bool NextDialogInput(HWND dialog) override;
    void DialogOpened(HWND dialog) override;
    void DialogClosed(HWND dialog, INT_PTR result) override;

    // Whether the script still has lines: its answers come from them.
    bool HasScriptLines();
    // A box or file dialog that a person answered elsewhere (in a window), written to the
    // command line as the answers of a script are.
    void RecordMessageBox(const win::MessageBoxRequest& box, int answer);
    void RecordFileDialog(const win::FileDialogRequest& dialog,
                          const std::optional<std::string>& answer);

private:
    Session& m_session;
    win::FrontEnd* m_previous;
};

// The answer a script gives with a line "<keyword> <answer>" when the next line has that
// form; the line is taken.  False when the next line is something else.
bool TakeScriptedAnswer(Session& session, const std::string& keyword, std::string& answer);

// Carries out one "dlg" action (the line without "dlg") on a dialog, as a user would, and
// reports on the command line what cannot be done.
void RunDialogAction(Session& session, HWND dialog, const std::string& action);

} // namespace cadhost::editor
