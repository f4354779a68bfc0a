// The front end: whatever shows the windows of this layer to a user and carries the user's
// answers back.  One front end serves a process; it answers message boxes and file dialogs,
// and it plays the user while a modal dialog runs.  The host installs a scripted one (input
// from a script or a terminal) or a window one (a real window system); tests install their own.
//
// Without a front end, message boxes are written to stderr and answered with their default
// button, file dialogs are cancelled, and modal dialogs are cancelled as Escape would.
#pragma once

#include "win/filedialog.h"
#include "win/msgbox.h"
#include "win/types.h"

#include <optional>
#include <string>

namespace win {

class FrontEnd {
public:
    virtual ~FrontEnd();

    // Returns the id of the button pressed (the box refuses an answer that is not one of its
    // buttons and takes its default instead).
    virtual int ShowMessageBox(const MessageBoxRequest& box) = 0;
    // A path (Windows or unix form, absolute or relative to the folder shown), or std::nullopt
    // to cancel.  The dialog reviews the answer as a user's typing is reviewed and may ask
    // again.
    virtual std::optional<std::string> ShowFileDialog(const FileDialogRequest& dialog) = 0;

    // A modal dialog runs and has nothing left to do: act as the user once (through
    // win/userinput.h, or by sending the dialog messages), then return true.  Return false
    // when there is nothing more to do for this dialog; it is then closed as Escape closes it.
    virtual bool NextDialogInput(HWND dialog) = 0;

    // Notices: a modal dialog was shown and is about to run; it ended with a result.
    virtual void DialogOpened(HWND dialog) { (void)dialog; }
    virtual void DialogClosed(HWND dialog, INT_PTR result) {
        (void)dialog;
        (void)result;
    }
    // Notices about windows, so that a window front end can follow them.
    virtual void WindowCreated(HWND window) { (void)window; }
    virtual void WindowDestroyed(HWND window) { (void)window; }
    virtual void WindowChanged(HWND window) { (void)window; }
};

// Installs the front end (nullptr: none) and returns the previous one.  The front end stays
// the caller's.
FrontEnd* SetFrontEnd(FrontEnd* frontEnd);
FrontEnd* GetFrontEnd();

// Installs a front end for the life of a scope.
class ScopedFrontEnd {
public:
    explicit ScopedFrontEnd(FrontEnd* frontEnd) : m_previous(SetFrontEnd(frontEnd)) {}
    ~ScopedFrontEnd() { SetFrontEnd(m_previous); }
    ScopedFrontEnd(const ScopedFrontEnd&) = delete;
    ScopedFrontEnd& operator=(const ScopedFrontEnd&) = delete;

private:
    FrontEnd* m_previous;
};

} // namespace win
