// Windows of the dialog model: a tree of windows with classes, ids, styles, texts and
// rectangles, a message queue, focus, mouse capture and a cursor, and the framework's CWnd
// with message maps.  Toolkit-neutral: front ends (win/frontend.h) show the windows and play
// the user; the windows themselves behave as Windows' do.
//
// Coordinates: a child's rectangle is relative to its parent's client area, a top-level
// window's to the screen (win::kScreenWidth by win::kScreenHeight pixels, win/gdi.h).  The client
// area of a window is its rectangle less its border (WS_BORDER 1 pixel, WS_EX_CLIENTEDGE 2, a
// dialog frame 3 and a caption of 18 pixels).
//
// The model belongs to one thread, the host's main thread; nothing here is locked.
#pragma once

#include "win/geometry.h"
#include "win/messages.h"
#include "win/types.h"

#include <string>
#include <vector>

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using HMENU = struct HMENU__*;

// The built-in window classes.
inline constexpr const char* WC_DIALOG = "#32770";
inline constexpr const char* WC_BUTTONA = "Button";
inline constexpr const char* WC_EDITA = "Edit";
inline constexpr const char* WC_STATICA = "Static";
inline constexpr const char* WC_LISTBOXA = "ListBox";
inline constexpr const char* TOOLTIPS_CLASSA = "tooltips_class32";
inline constexpr const char* RICHEDIT_CLASSA = "RichEdit20A";

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    void* hIcon;
    void* hCursor;
    void* hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
// Registers an application class; 0 when the name is taken.
WORD RegisterClassA(const WNDCLASSA* wc);

// ---- Windows ----
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x,
                     int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam);
// Sends WM_DESTROY to the window and then to its children, destroys them all (WM_NCDESTROY,
// children first) and frees the handles.
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND GetWindow(HWND hWnd, UINT uCmd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);
BOOL IsChild(HWND hWndParent, HWND hWnd);

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLengthA(HWND hWnd);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);

BOOL EnableWindow(HWND hWnd, BOOL bEnable); // returns whether it was disabled before
BOOL IsWindowEnabled(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow); // returns whether it was visible before
BOOL IsWindowVisible(HWND hWnd);

BOOL MoveWindow(HWND hWnd, int x, int y, int nWidth, int nHeight, BOOL bRepaint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect); // screen coordinates
BOOL GetClientRect(HWND hWnd, LPRECT lpRect); // (0, 0, width, height) of the client area
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
// The deepest visible, enabled-or-not window under a screen point; nullptr off every window.
HWND WindowFromPoint(POINT point);

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);

// ---- Messages ----
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;
// Queued messages first; when none is queued, a WM_PAINT for a window that needs painting.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
// Posts the WM_CHAR of a key-down of a character key.
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The default behaviour of a dialog window (WM_CLOSE, DM_GETDEFID, WM_GETFONT, ...).
LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
// Handles the dialog keys of a message aimed at hDlg or one of its controls: Tab moves the
// focus, Enter presses the default button (or IDOK), Escape sends IDCANCEL.  TRUE when the
// message was taken (it must then not be dispatched).
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
// The time and cursor position of the message being processed.
DWORD GetMessageTime();
DWORD GetMessagePos();

// ---- Focus, capture, cursor, activation ----
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(LPPOINT lpPoint);
BOOL SetCursorPos(int x, int y);
SHORT GetKeyState(int nVirtKey);
SHORT GetAsyncKeyState(int vKey);
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hWnd);
HWND GetForegroundWindow();

// ---- Painting ----
BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase);
BOOL ValidateRect(HWND hWnd, LPCRECT lpRect);
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, LPCRECT lprcUpdate, void* hrgnUpdate, UINT flags);

// ---- Dialogs ----
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// Converts dialog units of the dialog's font into pixels.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
LONG GetDialogBaseUnits();

namespace win {

// The dialog base units (average character width, height) of a font, in pixels.
SIZE DialogBaseUnits(const std::string& fontName, int pointSize);

// What a front end and tests read of a window.
struct WindowInfo {
    HWND handle = nullptr;
    std::string className;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{};   // relative to the parent's client area (screen for top-level windows)
    RECT client{}; // the client area within rect
    bool enabled = true;
    bool visible = true;
};
bool GetWindowInfo(HWND hWnd, WindowInfo& info);
// The children of a window in their order (creation order; the tab order of a dialog).
std::vector<HWND> ChildWindows(HWND hWnd);
// The top-level windows, oldest first.
std::vector<HWND> TopLevelWindows();
// Whether a window needs painting.
bool NeedsPaint(HWND hWnd);
// The modal dialog that runs innermost, or nullptr.
HWND TopmostModalDialog();

} // namespace win

// ---------------------------------------------------------------------------------------
// The framework: CCmdTarget, CWnd and message maps.

class CCmdTarget;
class CWnd;

// A handler as the message map stores it: a thunk that calls the member with the message's
// parameters unpacked.
using AfxHandler = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND for command entries
    UINT nCode;    // the notification code of WM_COMMAND entries
    UINT nID;      // the control id (first of a range)
    UINT nLastID;
    AfxHandler pfn; // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the entry of the message map (this class's, then its bases') for a command or a
    // control notification; FALSE when none handles it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The first entry of the map chain for a message (and, for WM_COMMAND, code and id).
    const AFX_MSGMAP_ENTRY* FindEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

// The thunks behind the entry macros.
template <class T, void (T::*F)()> LRESULT AfxCall_v(CCmdTarget* t, WPARAM, LPARAM) {
    (static_cast<T*>(t)->*F)();
    return 0;
}
template <class T, LRESULT (T::*F)(WPARAM, LPARAM)>
LRESULT AfxCall_lwl(CCmdTarget* t, WPARAM w, LPARAM l) {
    return (static_cast<T*>(t)->*F)(w, l);
}
template <class T, void (T::*F)(UINT, CPoint)>
LRESULT AfxCall_vwp(CCmdTarget* t, WPARAM w, LPARAM l) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(w), CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)));
    return 0;
}
template <class T, void (T::*F)(CWnd*)> LRESULT AfxCall_vW(CCmdTarget* t, WPARAM w, LPARAM);
template <class T, void (T::*F)(CWnd*)> LRESULT AfxCall_vWl(CCmdTarget* t, WPARAM, LPARAM l);
template <class T, void (T::*F)(UINT, UINT, UINT)>
LRESULT AfxCall_vwww(CCmdTarget* t, WPARAM w, LPARAM l) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(w), LOWORD(static_cast<UINT_PTR>(l)),
                             HIWORD(static_cast<UINT_PTR>(l)));
    return 0;
}

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, 0, (id), (id), &AfxCall_v<ThisClass, &ThisClass::memberFxn>},
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, (code), (id), (id), &AfxCall_v<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_MESSAGE(message, memberFxn)                                                             \
    {(message), 0, 0, 0, &AfxCall_lwl<ThisClass, &ThisClass::memberFxn>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, &AfxCall_vwp<ThisClass, &ThisClass::OnMouseMove>},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, 0, 0, 0, &AfxCall_vwp<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, 0, &AfxCall_vwp<ThisClass, &ThisClass::OnLButtonUp>},
#define ON_WM_LBUTTONDBLCLK()                                                                      \
    {WM_LBUTTONDBLCLK, 0, 0, 0, &AfxCall_vwp<ThisClass, &ThisClass::OnLButtonDblClk>},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, &AfxCall_vW<ThisClass, &ThisClass::OnKillFocus>},
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, &AfxCall_vW<ThisClass, &ThisClass::OnSetFocus>},
#define ON_WM_CAPTURECHANGED()                                                                     \
    {WM_CAPTURECHANGED, 0, 0, 0, &AfxCall_vWl<ThisClass, &ThisClass::OnCaptureChanged>},
#define ON_WM_NCPAINT() {WM_NCPAINT, 0, 0, 0, &AfxCall_v<ThisClass, &ThisClass::OnNcPaint>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &AfxCall_v<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &AfxCall_v<ThisClass, &ThisClass::OnDestroy>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, &AfxCall_vwww<ThisClass, &ThisClass::OnKeyDown>},

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    // A plain top-level (or child) window of this object.  FALSE when the object already
    // has a window.
    BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd = nullptr);
    // A window of any class for this object; its messages reach this object's map first.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    // Binds this object to an existing window: its messages reach this object's message map
    // first and the window's own procedure after (DefWindowProc).  FALSE when either is
    // bound already.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hWnd);
    HWND Detach();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The object of a window: its bound object, or a temporary one kept until the window is
    // destroyed.  nullptr for a handle that is not a window.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(std::string& text) const;
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    static CWnd* GetActiveWindow();
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetFont(HFONT font, BOOL bRedraw = TRUE);
    HFONT GetFontHandle() const;

    // Called for every queued message aimed at this window or one of its children before
    // it is dispatched; TRUE takes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Runs the modal loop of this window until EndModalLoop; returns its result.
    virtual INT_PTR RunModalLoop(DWORD dwFlags = 0);
    virtual void EndModalLoop(INT_PTR nResult);
    BOOL ContinueModal() const { return m_bContinueModal; }

    HWND m_hWnd = nullptr;

protected:
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);

    // The object's view of every message: the message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: the notification goes to the control's OnChildNotify first (reflection),
    // then to this window's map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A message a parent hands back to the child it concerns (WM_DRAWITEM, commands); TRUE
    // when the child took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called when the object is bound to its window.
    virtual void PreSubclassWindow();
    // Called after the window is gone (its last message).
    virtual void PostNcDestroy();
    // The current message's default processing.
    LRESULT Default();

    // Default handlers that derived classes call as their base.
    void OnNcPaint();
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKillFocus(CWnd* pNewWnd);
    void OnSetFocus(CWnd* pOldWnd);
    void OnCaptureChanged(CWnd* pWnd);
    void OnDestroy();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    WNDPROC m_pfnSuper = nullptr; // the procedure the window had before it was bound
    BOOL m_bContinueModal = FALSE;
    INT_PTR m_nModalResult = -1;

private:
    void BindProcedure();
};

template <class T, void (T::*F)(CWnd*)> LRESULT AfxCall_vW(CCmdTarget* t, WPARAM w, LPARAM) {
    (static_cast<T*>(t)->*F)(CWnd::FromHandle(reinterpret_cast<HWND>(w)));
    return 0;
}
template <class T, void (T::*F)(CWnd*)> LRESULT AfxCall_vWl(CCmdTarget* t, WPARAM, LPARAM l) {
    (static_cast<T*>(t)->*F)(CWnd::FromHandle(reinterpret_cast<HWND>(l)));
    return 0;
}

// The window procedure of every window bound to a framework object.
LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The application's main window (the host's frame), owner of dialogs without a parent.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);
// The instance whose resources the framework loads (the module's, once it set it).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);
