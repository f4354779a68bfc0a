// The window front end of `cadhost --gui`: the platform's windows (the module's dialogs and
// their tooltips) as real windows, message boxes as QMessageBox and file dialogs (and the
// folder chooser) as QFileDialog.
//
// A real window shows the pixels the window model painted (a dialog's client area under the
// window's own title bar, a tooltip whole) and carries a person's mouse and keyboard into the
// model as the user input Windows would post (gui/dialogwindow.h), so a dialog behaves in a
// window exactly as under a script.
//
// The host stays single-threaded: the Qt event loop runs inside the host's waits.  When a
// modal dialog has nothing left to do (NextDialogInput), the front end shows the windows as the
// model has them and runs the event loop until the person acts; a message box or a file dialog
// runs its own modal loop.  No module code runs on another thread.
//
// Scripts and a person share the dialogs.  While the session's script has lines, the scripted
// front end answers: each "dlg" line plays in the dialog shown in its window after a pause of
// the step delay (so that a person watching sees each step), and message boxes and file dialogs
// show for the step delay before the script's "msgbox" or "filedlg" line answers them.  Once the
// script has no lines left, the person answers in the windows, and the command-line log records
// the person's answers to message boxes and file dialogs the way it records a script's.
//
// Installing it (the main window of `cadhost --gui`, after cadhost::Host::start and making the
// application with cadhost::gui::TheApplication()):
//
//     auto frontEnd = std::make_unique<cadhost::gui::WindowFrontEnd>(
//         win::GetFrontEnd(),   // the host's scripted front end, installed by Host::start
//         mainWindow,           // the owner: dialogs are placed over it and block it
//         scripted ? 400 : 0);  // the pause before each scripted step, in milliseconds
//
// The front end installs itself; destroying it (before the host stops) puts the scripted one
// back and closes its windows.
#pragma once

#include "gui/dialogwindow.h"

#include "win/frontend.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <set>

class QEventLoop;
class QWidget;

namespace cadhost::editor {
class ScriptedFrontEnd;
}

namespace cadhost::gui {

class WindowFrontEnd final : public win::FrontEnd, private WindowInput {
public:
    // scripted: the front end installed before this one.  The host's scripted front end
    // answers while the session's script has lines, then a person does; nullptr: a person
    // answers everything; any other front end (a test's) answers everything while the windows
    // show what happens.
    // owner: the window the dialogs are placed over and block while they run (nullptr: they
    // are placed in the middle of the screen).
    // stepDelayMs: how long each scripted step waits, with the windows showing, before it
    // runs.
    explicit WindowFrontEnd(win::FrontEnd* scripted, QWidget* owner = nullptr, int stepDelayMs = 0);
    ~WindowFrontEnd() override;
    WindowFrontEnd(const WindowFrontEnd&) = delete;
    WindowFrontEnd& operator=(const WindowFrontEnd&) = delete;

    int ShowMessageBox(const win::MessageBoxRequest& box) override;
    std::optional<std::string> ShowFileDialog(const win::FileDialogRequest& dialog) override;
    bool NextDialogInput(HWND dialog) override;
    void DialogOpened(HWND dialog) override;
    void DialogClosed(HWND dialog, INT_PTR result) override;
    void WindowCreated(HWND window) override;
    void WindowDestroyed(HWND window) override;
    void WindowChanged(HWND window) override;

    // Brings the real windows in line with the model now: which windows show, their pixels,
    // captions, sizes, places and whether they are enabled.  The front end does so in each of
    // its waits, and whenever the event loop runs after the model changed.
    void ShowWindows();
    // The real window that shows a top-level window of the model, or nullptr.
    DialogWindow* WindowOf(HWND window) const;
    // The dialog whose person's act the front end waits for now, or nullptr.
    HWND WaitingFor() const { return m_waiting; }
    // Whether the person acted in the wait that runs now.
    bool PersonActed() const { return m_waiting && m_acted; }
    // Called each time the front end starts to wait for a person's act in a dialog, with the
    // windows showing what the model has (a status line may say so; tests play the person).
    void SetWaitListener(std::function<void(HWND dialog)> listener) {
        m_waitListener = std::move(listener);
    }
    void SetStepDelay(int milliseconds) { m_stepDelay = milliseconds; }

private:
    bool TakesInput(HWND window) const override;
    void Acted() override;

    // Whether the scripted front end answers now (else the person does).
    bool ScriptAnswers();
    // Runs the event loop for a while, taking no input.
    void Pause(int milliseconds);
    // Runs the event loop until the person acted in the dialog (true), or the dialog ended by
    // other means (true); false at once for a dialog that does not show, and when the
    // application is quitting.
    bool WaitForPerson(HWND dialog);
    bool ModelHasWork() const;
    bool Mirrors(HWND window) const;
    QWidget* ParentFor(HWND window) const;
    // The real windows' top left for a model point: the offset of the nearest owner shown,
    // else the one that puts the model's screen over the owner (or the screen).
    QPoint OffsetFor(HWND window);
    // The window on top, for message boxes and file dialogs: the innermost dialog's, else the
    // owner.
    QWidget* TopWindow() const;
    void ScheduleShow();

    win::FrontEnd* m_scripted;
    editor::ScriptedFrontEnd* m_hostScript; // m_scripted when it is the host's
    win::FrontEnd* m_previous;
    QPointer<QWidget> m_owner;
    int m_stepDelay;
    std::map<HWND, QPointer<DialogWindow>> m_windows;
    std::set<HWND> m_native; // the model's file dialogs, shown as Qt's own
    QObject m_context;       // the receiver of the front end's timers
    QTimer m_showTimer;
    QPointer<DialogWindow> m_raised; // the window last brought on top
    bool m_showing = false;
    bool m_baseSet = false;
    QPoint m_baseOffset;
    HWND m_waiting = nullptr;
    bool m_acted = false;
    QEventLoop* m_loop = nullptr;
    bool m_quitting = false;
    std::function<void(HWND)> m_waitListener;
};

} // namespace cadhost::gui
