// Creating and destroying windows, the tree, texts, styles and rectangles.
#include "window_store.h"

#include "win/frontend.h"

#include <algorithm>
#include <cstring>

using win::FindWindowRecord;
using win::Window;
using win::WindowStore;

namespace {

bool IsChildStyle(DWORD style) {
    return (style & WS_CHILD) != 0;
}

// The origin of a window's coordinates (its parent's client area) on the screen.
POINT ParentClientOrigin(const Window& w) {
    POINT origin{0, 0};
    if (IsChildStyle(w.style) && w.parent)
        ClientToScreen(w.parent, &origin);
    return origin;
}

void Changed(HWND h) {
    if (win::FrontEnd* fe = win::GetFrontEnd())
        fe->WindowChanged(h);
}

void DestroyTree(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        DestroyTree(child);
    // Popups owned by this window go with it.
    for (HWND top : WindowStore::instance().topLevel())
        if (Window* t = FindWindowRecord(top); t && t->parent == hWnd && top != hWnd)
            DestroyTree(top);
    if ((w = FindWindowRecord(hWnd)) == nullptr)
        return;
    SendMessageA(hWnd, WM_NCDESTROY, 0, 0);
    if ((w = FindWindowRecord(hWnd)) == nullptr)
        return;
    if (w->object)
        w->object->m_hWnd = nullptr;
    if (w->temporary)
        w->temporary->m_hWnd = nullptr;
    if (Window* parent = FindWindowRecord(w->parent))
        parent->children.erase(std::remove(parent->children.begin(), parent->children.end(), hWnd),
                               parent->children.end());
    if (win::FrontEnd* fe = win::GetFrontEnd())
        fe->WindowDestroyed(hWnd);
    WindowStore::instance().remove(hWnd);
}

void SendDestroy(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return;
    w->destroying = true;
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    if ((w = FindWindowRecord(hWnd)) == nullptr)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        SendDestroy(child);
}

} // namespace

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x,
                     int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam) {
    WindowStore& store = WindowStore::instance();
    const win::WindowClass* cls = store.findClass(lpClassName ? lpClassName : "");
    if (!cls) {
        SetLastError(1407); // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    if (IsChildStyle(dwStyle) && !FindWindowRecord(hWndParent)) {
        SetLastError(1406); // ERROR_TLW_WITH_WSCHILD
        return nullptr;
    }
    if (hWndParent && !FindWindowRecord(hWndParent)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Window* w = store.create();
    w->cls = cls;
    w->proc = cls->proc;
    w->parent = hWndParent;
    w->style = dwStyle;
    w->exStyle = dwExStyle;
    w->text = lpWindowName ? lpWindowName : "";
    w->rect = RECT{x, y, x + std::max(nWidth, 0), y + std::max(nHeight, 0)};
    w->instance = hInstance;
    w->id = IsChildStyle(dwStyle) ? static_cast<int>(reinterpret_cast<std::uintptr_t>(hMenu)) : 0;
    if (cls->makeState)
        w->state = cls->makeState();
    HWND h = w->handle;
    if (IsChildStyle(dwStyle))
        FindWindowRecord(hWndParent)->children.push_back(h);
    else
        store.addTopLevel(h);
    if (Window* parent = FindWindowRecord(hWndParent); parent && IsChildStyle(dwStyle))
        w->font = parent->font;
    if (SendMessageA(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(lpParam)) == -1) {
        DestroyWindow(h);
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    if (win::FrontEnd* fe = win::GetFrontEnd())
        fe->WindowCreated(h);
    return h;
}

BOOL DestroyWindow(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w) {
        SetLastError(1400);
        return FALSE;
    }
    if (w->destroying)
        return TRUE;
    WindowStore& store = WindowStore::instance();
    // The focus and the capture leave the windows that go.
    if (store.capture && (store.capture == hWnd || IsChild(hWnd, store.capture)))
        ReleaseCapture();
    if (store.focus && (store.focus == hWnd || IsChild(hWnd, store.focus))) {
        HWND parent = IsChildStyle(w->style) ? w->parent : nullptr;
        SetFocus(parent);
    }
    ShowWindow(hWnd, SW_HIDE);
    SendDestroy(hWnd);
    DestroyTree(hWnd);
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    return FindWindowRecord(hWnd) != nullptr;
}

HWND GetParent(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? w->parent : nullptr;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return nullptr;
    if (uCmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (uCmd == GW_OWNER)
        return IsChildStyle(w->style) ? nullptr : w->parent;
    std::vector<HWND> siblings = IsChildStyle(w->style) && w->parent
                                     ? FindWindowRecord(w->parent)->children
                                     : WindowStore::instance().topLevel();
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    if (it == siblings.end())
        return nullptr;
    switch (uCmd) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDNEXT:
        return it + 1 == siblings.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == siblings.begin() ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* w = FindWindowRecord(hDlg);
    if (!w)
        return nullptr;
    for (HWND child : w->children)
        if (Window* c = FindWindowRecord(child); c && c->id == nIDDlgItem)
            return child;
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? w->id : 0;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpClassName || nMaxCount <= 0)
        return 0;
    std::size_t n = std::min(w->cls->name.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpClassName, w->cls->name.data(), n);
    lpClassName[n] = '\0';
    return static_cast<int>(n);
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    while (w && IsChildStyle(w->style)) {
        if (w->parent == hWndParent)
            return TRUE;
        w = FindWindowRecord(w->parent);
    }
    return FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!FindWindowRecord(hWnd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!lpString || nMaxCount <= 0)
        return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
    if (!FindWindowRecord(hWnd))
        return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!FindWindowRecord(hWnd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) !=
           0;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextA(item, lpString) : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bEnable == !wasDisabled)
        return wasDisabled;
    if (bEnable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        WindowStore& store = WindowStore::instance();
        if (store.focus == hWnd || IsChild(hWnd, store.focus))
            SetFocus(nullptr);
        if (store.capture == hWnd)
            ReleaseCapture();
    }
    SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    InvalidateRect(hWnd, nullptr, TRUE);
    Changed(hWnd);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = nCmdShow != SW_HIDE;
    if (show == static_cast<bool>(wasVisible))
        return wasVisible;
    if (show) {
        w->style |= WS_VISIBLE;
        w->needsPaint = w->frameNeedsPaint = true;
    } else {
        w->style &= ~WS_VISIBLE;
        WindowStore& store = WindowStore::instance();
        if (store.capture == hWnd || IsChild(hWnd, store.capture))
            ReleaseCapture();
    }
    SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    Changed(hWnd);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    while (w) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (!IsChildStyle(w->style))
            return TRUE;
        w = FindWindowRecord(w->parent);
    }
    return FALSE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, x, y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : 0));
}

BOOL SetWindowPos(HWND hWnd, HWND, int x, int y, int cx, int cy, UINT uFlags) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    RECT r = w->rect;
    if (!(uFlags & SWP_NOMOVE)) {
        r.right = x + (r.right - r.left);
        r.bottom = y + (r.bottom - r.top);
        r.left = x;
        r.top = y;
    }
    if (!(uFlags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    bool moved = r.left != w->rect.left || r.top != w->rect.top;
    bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) ||
                 (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, SW_SHOW);
    if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    if ((w = FindWindowRecord(hWnd)) == nullptr)
        return FALSE;
    if (moved || sized) {
        w->needsPaint = w->frameNeedsPaint = true;
        if (sized) {
            RECT c;
            GetClientRect(hWnd, &c);
            SendMessageA(hWnd, WM_SIZE, 0,
                         MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
        }
        if (moved)
            SendMessageA(hWnd, WM_MOVE, 0, 0);
        Changed(hWnd);
    }
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpRect)
        return FALSE;
    POINT origin = ParentClientOrigin(*w);
    *lpRect = w->rect;
    OffsetRect(lpRect, origin.x, origin.y);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpRect)
        return FALSE;
    RECT c = win::ClientRectInParent(*w);
    *lpRect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpPoint)
        return FALSE;
    POINT origin = ParentClientOrigin(*w);
    RECT c = win::ClientRectInParent(*w);
    lpPoint->x += origin.x + c.left;
    lpPoint->y += origin.y + c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    POINT origin{0, 0};
    if (!lpPoint || !ClientToScreen(hWnd, &origin))
        return FALSE;
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    POINT from{0, 0}, to{0, 0};
    if (hWndFrom)
        ClientToScreen(hWndFrom, &from);
    if (hWndTo)
        ClientToScreen(hWndTo, &to);
    int dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(dx)),
                      static_cast<WORD>(static_cast<short>(dy)));
}

namespace {

HWND ChildAt(HWND parent, POINT screen) {
    Window* w = FindWindowRecord(parent);
    if (!w)
        return nullptr;
    // Later children lie on top of earlier ones; group boxes and static texts let the
    // mouse through to what lies under them, as their hit test says.
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        Window* c = FindWindowRecord(*it);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        RECT r;
        GetWindowRect(*it, &r);
        if (!PtInRect(&r, screen))
            continue;
        if (SendMessageA(*it, WM_NCHITTEST, 0, PointToLParam(screen)) == HTTRANSPARENT)
            continue;
        HWND deeper = ChildAt(*it, screen);
        return deeper ? deeper : *it;
    }
    return nullptr;
}

} // namespace

HWND WindowFromPoint(POINT point) {
    std::vector<HWND> tops = WindowStore::instance().topLevel();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window* w = FindWindowRecord(*it);
        if (!w || !(w->style & WS_VISIBLE))
            continue;
        RECT r;
        GetWindowRect(*it, &r);
        if (!PtInRect(&r, point) ||
            SendMessageA(*it, WM_NCHITTEST, 0, PointToLParam(point)) == HTTRANSPARENT)
            continue;
        HWND child = ChildAt(*it, point);
        return child ? child : *it;
    }
    return nullptr;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
    Window* w = FindWindowRecord(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (nIndex) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA:
        return w->userData;
    case DWLP_MSGRESULT:
        return w->dialogResult;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR value) {
    Window* w = FindWindowRecord(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    LONG_PTR previous = GetWindowLongPtrA(hWnd, nIndex);
    switch (nIndex) {
    case GWLP_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_ID:
        w->id = static_cast<int>(value);
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        Changed(hWnd);
        break;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_USERDATA:
        w->userData = value;
        break;
    case DWLP_MSGRESULT:
        w->dialogResult = value;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return previous;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

namespace win {

bool GetWindowInfo(HWND hWnd, WindowInfo& info) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return false;
    info.handle = hWnd;
    info.className = w->cls->name;
    info.id = w->id;
    info.style = w->style;
    info.exStyle = w->exStyle;
    info.text = w->text;
    info.rect = w->rect;
    info.client = ClientRectInParent(*w);
    info.enabled = !(w->style & WS_DISABLED);
    info.visible = (w->style & WS_VISIBLE) != 0;
    return true;
}

std::vector<HWND> ChildWindows(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? w->children : std::vector<HWND>{};
}

std::vector<HWND> TopLevelWindows() {
    return WindowStore::instance().topLevel();
}

bool NeedsPaint(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w && (w->needsPaint || w->frameNeedsPaint);
}

HWND TopmostModalDialog() {
    const auto& dialogs = WindowStore::instance().modalDialogs;
    return dialogs.empty() ? nullptr : dialogs.back();
}

} // namespace win
