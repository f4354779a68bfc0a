// The window table: one record per live window, the tree they form, the classes, and the
// state of focus, capture, cursor and the message queue.  Internal to the window model.
#pragma once

#include "win/window.h"

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace win {

// State a control class keeps with each of its windows (list items, selection, ...).
struct ControlState {
    virtual ~ControlState() = default;
};

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    // Makes the class's per-window state when a window of the class is created.
    std::unique_ptr<ControlState> (*makeState)() = nullptr;
};

struct Window {
    HWND handle = nullptr;
    const WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    HWND parent = nullptr; // child windows: the parent; popups: the owner
    std::vector<HWND> children;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{}; // relative to the parent's client area, or the screen
    HINSTANCE instance = nullptr;
    HFONT font = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR dialogResult = 0; // DWLP_MSGRESULT
    CWnd* object = nullptr;    // the bound framework object
    std::unique_ptr<CWnd> temporary;
    std::unique_ptr<ControlState> state;
    HBITMAP surface = nullptr; // what the window's painting drew, of the window's size
    bool needsPaint = true;
    bool frameNeedsPaint = true;
    bool destroying = false;
    // Dialogs: the modal run.
    bool dialogEnded = false;
    INT_PTR endResult = 0;
    SIZE baseUnits{6, 13};
    HWND focusInDialog = nullptr; // the control that had the focus last
};

class WindowStore {
public:
    static WindowStore& instance();

    Window* find(HWND hWnd);
    Window* create(); // a record with a fresh handle, not yet in the tree
    void remove(HWND hWnd);
    std::vector<HWND> topLevel() const { return m_topLevel; }
    void addTopLevel(HWND h) { m_topLevel.push_back(h); }

    const WindowClass* findClass(const std::string& name) const;
    bool registerClass(WindowClass cls);

    // Focus, capture, activation, cursor, buttons.
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
    POINT cursor{512, 384}; // the middle of the screen
    bool leftButtonDown = false;
    bool rightButtonDown = false;
    bool shiftDown = false;
    bool controlDown = false;

    // Queued messages, in order.  Keyboard input is queued for kKeyboardFocus and goes to
    // the window that has the focus when it is taken from the queue, as typed keys do.
    std::deque<MSG> queue;
    DWORD clock = 0; // message time: one tick per queued message
    MSG current{};   // the message being processed, for GetMessageTime/GetMessagePos

    std::vector<HWND> modalDialogs; // innermost last

private:
    WindowStore();
    std::unordered_map<HWND, std::unique_ptr<Window>> m_windows;
    std::vector<HWND> m_topLevel;
    std::vector<std::unique_ptr<WindowClass>> m_classes;
    std::uintptr_t m_next = 0x10000;
};

// The addressee of queued keyboard input: whichever window has the focus (else the active
// one) when the message is taken.  No window has this handle.
inline const HWND kKeyboardFocus = reinterpret_cast<HWND>(std::uintptr_t{1});

inline Window* FindWindowRecord(HWND h) {
    return WindowStore::instance().find(h);
}

// The state of a window of a control class, or nullptr for a window of another class.
template <class State> State* StateOf(HWND h) {
    Window* w = FindWindowRecord(h);
    return w ? dynamic_cast<State*>(w->state.get()) : nullptr;
}

// The border widths around the client area of a window with these styles.
RECT BorderOf(DWORD style, DWORD exStyle);
// The client rectangle of a window in its parent's coordinates.
RECT ClientRectInParent(const Window& w);
// The control that takes the focus after `from` in a dialog's tab order (before it when
// back); the first (last) tab stop when `from` is none of them.
HWND NextTabStop(HWND dialog, HWND from, bool back);
// What the edit controls (plain and rich) answer to WM_GETDLGCODE, and to EM_GETSEL for a
// selection.
LRESULT EditDialogCode(HWND edit, LPARAM message);
LRESULT AnswerGetSel(std::size_t start, std::size_t end, WPARAM wParam, LPARAM lParam);
// Sends a notification WM_COMMAND to the parent of a control.
void NotifyParent(HWND control, UINT code);

// Built-in classes (each control's file defines its procedure and registers it).
void RegisterBuiltInClasses(WindowStore& store);
LRESULT DialogClassProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ToolTipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT RichEditProc(HWND, UINT, WPARAM, LPARAM);
std::unique_ptr<ControlState> MakeButtonState();
std::unique_ptr<ControlState> MakeEditState();
std::unique_ptr<ControlState> MakeListBoxState();
std::unique_ptr<ControlState> MakeToolTipState();
std::unique_ptr<ControlState> MakeRichEditState();

} // namespace win

namespace win {
// The font of a dialog template (kept for the life of the process, shared by every dialog
// that names it).
HFONT DialogFont(const std::string& name, int pointSize);
// The state bits of a button for its owner drawing (ODS_*).
UINT ButtonDrawState(HWND button);
} // namespace win

namespace win {
// A tooltip that shows hides when the cursor has left its tool, as the control notices by
// itself however the mouse went.
void ToolTipsFollowCursor();
// The frame of a window (border, caption) drawn on its surface.
void PaintNonClient(HWND window);
// Frees the surface of a window that goes.
void FreeSurface(Window& window);
// The looks of the standard controls, drawn into a DC on their client area.
void PaintStandardButton(HWND button, HDC dc, UINT drawState);
void PaintStatic(HWND control, HDC dc);
void PaintEdit(HWND edit, HDC dc);
void PaintListBox(HWND list, HDC dc);
void PaintToolTip(HWND tip, HDC dc);
void PaintDialogBackground(HWND dialog, HDC dc);
} // namespace win
