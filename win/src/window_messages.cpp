// Messages: sending, the queue, dispatching, default processing, the dialog keys, focus,
// capture, the cursor and the dialog end.
#include "window_store.h"

#include "win/frontend.h"
#include "win/gdi.h"
#include "win/msgbox.h"
#include "win/paint.h"

#include <algorithm>
#include <cstring>

using win::FindWindowRecord;
using win::Window;
using win::WindowStore;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !w->proc) {
        SetLastError(1400);
        return 0;
    }
    WindowStore& store = WindowStore::instance();
    MSG previous = store.current;
    store.current = MSG{hWnd, Msg, wParam, lParam, store.clock, store.cursor};
    LRESULT result = w->proc(hWnd, Msg, wParam, lParam);
    store.current = previous;
    return result;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !FindWindowRecord(hWnd)) {
        SetLastError(1400);
        return FALSE;
    }
    WindowStore& store = WindowStore::instance();
    store.queue.push_back(MSG{hWnd, Msg, wParam, lParam, ++store.clock, store.cursor});
    return TRUE;
}

namespace {

// The first visible window, parents before their children, that needs painting.
HWND FindWindowToPaint(HWND h) {
    Window* w = FindWindowRecord(h);
    if (!w || !(w->style & WS_VISIBLE))
        return nullptr;
    if (w->needsPaint || w->frameNeedsPaint)
        return h;
    for (HWND child : w->children)
        if (HWND found = FindWindowToPaint(child))
            return found;
    return nullptr;
}

} // namespace

BOOL PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT wRemoveMsg) {
    WindowStore& store = WindowStore::instance();
    if (!lpMsg)
        return FALSE;
    // Keyboard input for a focus that has gone nowhere is dropped.
    while (!store.queue.empty() && store.queue.front().hwnd == win::kKeyboardFocus &&
           !(store.focus || store.active))
        store.queue.pop_front();
    if (!store.queue.empty()) {
        *lpMsg = store.queue.front();
        if (lpMsg->hwnd == win::kKeyboardFocus)
            lpMsg->hwnd = store.focus ? store.focus : store.active;
        if (wRemoveMsg & PM_REMOVE) {
            store.queue.pop_front();
            // The key state follows the keys as they are taken from the queue.
            bool down = lpMsg->message == WM_KEYDOWN;
            if (down || lpMsg->message == WM_KEYUP) {
                if (lpMsg->wParam == VK_SHIFT)
                    store.shiftDown = down;
                else if (lpMsg->wParam == VK_CONTROL)
                    store.controlDown = down;
            }
        }
        return TRUE;
    }
    for (HWND top : store.topLevel())
        if (HWND paint = FindWindowToPaint(top)) {
            *lpMsg = MSG{paint, WM_PAINT, 0, 0, store.clock, store.cursor};
            return TRUE;
        }
    return FALSE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg || lpMsg->message != WM_KEYDOWN)
        return FALSE;
    UINT vk = static_cast<UINT>(lpMsg->wParam);
    char ch = 0;
    WindowStore& store = WindowStore::instance();
    if (vk >= 'A' && vk <= 'Z')
        ch = static_cast<char>(store.shiftDown ? vk : vk - 'A' + 'a');
    else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE)
        ch = static_cast<char>(vk);
    else if (vk == VK_RETURN)
        ch = '\r';
    else if (vk == VK_ESCAPE)
        ch = 0x1B;
    else if (vk == VK_BACK)
        ch = 0x08;
    else if (vk == VK_TAB)
        ch = '\t';
    if (!ch)
        return FALSE;
    store.queue.push_front(MSG{lpMsg->hwnd, WM_CHAR,
                               static_cast<WPARAM>(static_cast<unsigned char>(ch)), lpMsg->lParam,
                               lpMsg->time, lpMsg->pt});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd)
        return 0;
    WindowStore& store = WindowStore::instance();
    MSG previous = store.current;
    store.current = *lpMsg;
    LRESULT result = SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
    store.current = previous;
    if (lpMsg->message == WM_PAINT) {
        // A window procedure that does not paint would be asked again and again.
        if (Window* w = FindWindowRecord(lpMsg->hwnd))
            w->needsPaint = w->frameNeedsPaint = false;
    }
    return result;
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    switch (Msg) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        w->text = text ? text : "";
        w->needsPaint = true;
        if (win::FrontEnd* fe = win::GetFrontEnd())
            fe->WindowChanged(hWnd);
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        std::size_t n = std::min(w->text.size(), static_cast<std::size_t>(wParam - 1));
        std::memcpy(buffer, w->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            w->needsPaint = true;
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_NCPAINT:
        w->frameNeedsPaint = false;
        win::PaintNonClient(hWnd);
        return 0;
    case WM_ERASEBKGND:
        if (HDC dc = reinterpret_cast<HDC>(wParam))
            win::PaintDialogBackground(hWnd, dc);
        return 1;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        return 1; // MA_ACTIVATE
    case WM_MOUSEWHEEL:
        // A child that does not scroll hands the wheel on to its parent.
        if ((w->style & WS_CHILD) && w->parent)
            return SendMessageA(w->parent, Msg, wParam, lParam);
        return 0;
    case WM_GETDLGCODE:
        return 0;
    default:
        return 0;
    }
}

namespace {

bool IsPushButton(HWND h) {
    LRESULT code = SendMessageA(h, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

} // namespace

HWND win::NextTabStop(HWND dialog, HWND from, bool back) {
    std::vector<HWND> stops;
    for (HWND child : win::ChildWindows(dialog)) {
        Window* c = FindWindowRecord(child);
        if (c && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED))
            stops.push_back(child);
    }
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end())
        return back ? stops.back() : stops.front();
    if (back)
        return it == stops.begin() ? stops.back() : *(it - 1);
    return it + 1 == stops.end() ? stops.front() : *(it + 1);
}

namespace {

void PressDialogButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

int DefaultButtonId(HWND dialog) {
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(static_cast<UINT_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<UINT_PTR>(def))
                                                             : IDOK;
}

} // namespace

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(hDlg);
    if (!w)
        return 0;
    switch (Msg) {
    case WM_CLOSE:
        PressDialogButton(hDlg, IDCANCEL);
        return 0;
    case DM_GETDEFID: {
        for (HWND child : w->children) {
            Window* c = FindWindowRecord(child);
            if (c && c->cls->name == WC_BUTTONA && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return MAKELPARAM(static_cast<WORD>(c->id), DC_HASDEFID);
        }
        return 0;
    }
    case DM_SETDEFID: {
        for (HWND child : w->children) {
            Window* c = FindWindowRecord(child);
            if (!c || c->cls->name != WC_BUTTONA)
                continue;
            DWORD type = c->style & BS_TYPEMASK;
            if (c->id == static_cast<int>(wParam) && type == BS_PUSHBUTTON)
                SendMessageA(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
            else if (c->id != static_cast<int>(wParam) && type == BS_DEFPUSHBUTTON)
                SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
        return TRUE;
    }
    case WM_SETFOCUS: {
        // The focus goes on to the control that had it last, else to the first tab stop.
        HWND target = w->focusInDialog && IsChild(hDlg, w->focusInDialog)
                          ? w->focusInDialog
                          : win::NextTabStop(hDlg, nullptr, false);
        if (target)
            SetFocus(target);
        return 0;
    }
    case WM_COMMAND:
        return 0;
    default:
        return DefWindowProcA(hDlg, Msg, wParam, lParam);
    }
}

LRESULT win::DialogClassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefDlgProcA(h, m, w, l);
}

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    if (!lpMsg || !FindWindowRecord(hDlg))
        return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN) {
        LRESULT code = SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam,
                                    reinterpret_cast<LPARAM>(lpMsg));
        bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
        switch (lpMsg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB || wantsAll)
                break;
            if (HWND next = win::NextTabStop(hDlg, GetFocus(), WindowStore::instance().shiftDown)) {
                SetFocus(next);
                if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                    SendMessageA(next, EM_SETSEL, 0, -1);
            }
            return TRUE;
        case VK_RETURN:
            if (wantsAll)
                break;
            if (GetFocus() && IsPushButton(GetFocus()))
                PressDialogButton(hDlg, GetDlgCtrlID(GetFocus()));
            else
                PressDialogButton(hDlg, DefaultButtonId(hDlg));
            return TRUE;
        case VK_ESCAPE:
            if (wantsAll)
                break;
            PressDialogButton(hDlg, IDCANCEL);
            return TRUE;
        default:
            break;
        }
    } else if (lpMsg->message == WM_CHAR) {
        LRESULT code = SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam,
                                    reinterpret_cast<LPARAM>(lpMsg));
        bool dialogChar = lpMsg->wParam == '\r' || lpMsg->wParam == 0x1B || lpMsg->wParam == '\t';
        if (dialogChar && !(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)))
            return TRUE; // the key-down did the dialog's work already
    }
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}

DWORD GetMessageTime() {
    return WindowStore::instance().current.time;
}

DWORD GetMessagePos() {
    POINT p = WindowStore::instance().current.pt;
    return static_cast<DWORD>(MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)),
                                         static_cast<WORD>(static_cast<short>(p.y))));
}

HWND SetFocus(HWND hWnd) {
    WindowStore& store = WindowStore::instance();
    if (hWnd && !FindWindowRecord(hWnd))
        return nullptr;
    HWND old = store.focus;
    if (old == hWnd)
        return old;
    store.focus = hWnd;
    if (old && FindWindowRecord(old))
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && store.focus == hWnd) {
        // The dialog remembers its control with the focus.
        for (Window* w = FindWindowRecord(hWnd); w && (w->style & WS_CHILD);
             w = FindWindowRecord(w->parent))
            if (Window* p = FindWindowRecord(w->parent); p && p->cls->name == WC_DIALOG)
                p->focusInDialog = hWnd;
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    return WindowStore::instance().focus;
}

HWND SetCapture(HWND hWnd) {
    WindowStore& store = WindowStore::instance();
    HWND old = store.capture;
    if (!FindWindowRecord(hWnd))
        return old;
    store.capture = hWnd;
    if (old && old != hWnd && FindWindowRecord(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return old;
}

BOOL ReleaseCapture() {
    WindowStore& store = WindowStore::instance();
    HWND old = store.capture;
    store.capture = nullptr;
    if (old && FindWindowRecord(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return WindowStore::instance().capture;
}

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint)
        return FALSE;
    *lpPoint = WindowStore::instance().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    WindowStore::instance().cursor =
        POINT{std::clamp(x, 0, win::kScreenWidth - 1), std::clamp(y, 0, win::kScreenHeight - 1)};
    return TRUE;
}

SHORT GetKeyState(int nVirtKey) {
    WindowStore& store = WindowStore::instance();
    bool down = false;
    switch (nVirtKey) {
    case VK_LBUTTON:
        down = store.leftButtonDown;
        break;
    case 0x02: // VK_RBUTTON
        down = store.rightButtonDown;
        break;
    case VK_SHIFT:
        down = store.shiftDown;
        break;
    case VK_CONTROL:
        down = store.controlDown;
        break;
    default:
        break;
    }
    return down ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vKey) {
    return GetKeyState(vKey);
}

HWND GetActiveWindow() {
    return WindowStore::instance().active;
}

HWND SetActiveWindow(HWND hWnd) {
    WindowStore& store = WindowStore::instance();
    HWND old = store.active;
    if (hWnd && !FindWindowRecord(hWnd))
        return nullptr;
    store.active = hWnd;
    if (old != hWnd) {
        if (old && FindWindowRecord(old))
            SendMessageA(old, WM_ACTIVATE, 0, reinterpret_cast<LPARAM>(hWnd));
        if (hWnd)
            SendMessageA(hWnd, WM_ACTIVATE, 1, reinterpret_cast<LPARAM>(old));
    }
    return old;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

BOOL InvalidateRect(HWND hWnd, LPCRECT, BOOL) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    w->needsPaint = true;
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, LPCRECT) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    w->needsPaint = false;
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    if ((w->needsPaint || w->frameNeedsPaint) && (w->style & WS_VISIBLE)) {
        MSG paint{
            hWnd, WM_PAINT, 0, 0, WindowStore::instance().clock, WindowStore::instance().cursor};
        DispatchMessageA(&paint);
    }
    return TRUE;
}

namespace {

void Redraw(HWND hWnd, UINT flags) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return;
    if (flags & RDW_INVALIDATE) {
        w->needsPaint = true;
        if (flags & RDW_FRAME)
            w->frameNeedsPaint = true;
    }
    if (flags & RDW_UPDATENOW)
        UpdateWindow(hWnd);
    if (flags & RDW_ALLCHILDREN)
        for (HWND child : win::ChildWindows(hWnd))
            Redraw(child, flags);
}

} // namespace

BOOL RedrawWindow(HWND hWnd, LPCRECT, void*, UINT flags) {
    if (!FindWindowRecord(hWnd))
        return FALSE;
    Redraw(hWnd, flags);
    return TRUE;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    Window* w = FindWindowRecord(hDlg);
    if (!w)
        return FALSE;
    w->dialogEnded = true;
    w->endResult = nResult;
    // The dialog disappears at once; it is destroyed when its modal run returns.
    ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
    Window* w = FindWindowRecord(hDlg);
    if (!w || !lpRect)
        return FALSE;
    auto x = [&](LONG v) { return static_cast<LONG>((v * w->baseUnits.cx) / 4); };
    auto y = [&](LONG v) { return static_cast<LONG>((v * w->baseUnits.cy) / 8); };
    *lpRect = RECT{x(lpRect->left), y(lpRect->top), x(lpRect->right), y(lpRect->bottom)};
    return TRUE;
}

LONG GetDialogBaseUnits() {
    SIZE s = win::DialogBaseUnits("System", 10);
    return MAKELPARAM(static_cast<WORD>(s.cx), static_cast<WORD>(s.cy));
}
