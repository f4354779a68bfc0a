// The framework's CCmdTarget and CWnd: message maps, binding objects to windows, the modal
// loop and the pre-translation of queued messages.
#include "window_store.h"

#include "win/frontend.h"
#include "win/userinput.h"

using win::FindWindowRecord;
using win::Window;
using win::WindowStore;

// ---- CCmdTarget ----

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT nMessage, UINT nCode, UINT nID) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != nMessage)
                continue;
            if (nMessage != WM_COMMAND)
                return e;
            if (e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!e)
        return FALSE;
    e->pfn(this, 0, 0);
    return TRUE;
}

// ---- Window procedure of bound objects ----

LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(hWnd);
    CWnd* object = w ? w->object : nullptr;
    if (!object)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window's last message: the object lets go of it.
        if ((w = FindWindowRecord(hWnd)) != nullptr && w->object == object) {
            w->object = nullptr;
            if (object->m_pfnSuper)
                w->proc = object->m_pfnSuper;
        }
        object->m_hWnd = nullptr;
        object->m_pfnSuper = nullptr;
        object->PostNcDestroy();
    }
    return result;
}

// ---- CWnd ----

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd) {
        Window* w = FindWindowRecord(m_hWnd);
        if (w && w->object == this)
            ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

BOOL CWnd::Create(LPCSTR lpszWindowName, CWnd* pParentWnd) {
    if (m_hWnd)
        return FALSE;
    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HWND h = CreateWindowExA(0, "Window", lpszWindowName, WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                             nullptr, nullptr);
    return h && SubclassWindow(h);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd)
        return FALSE;
    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HMENU menu =
        (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID)) : nullptr;
    HWND h = CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                             AfxGetResourceHandle(), nullptr);
    return h && SubclassWindow(h);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    HWND h = m_hWnd;
    BOOL ok = ::DestroyWindow(h);
    m_hWnd = nullptr;
    return ok;
}

BOOL CWnd::Attach(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || m_hWnd || w->object)
        return FALSE;
    w->object = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (Window* w = FindWindowRecord(h); w && w->object == this)
        w->object = nullptr;
    m_hWnd = nullptr;
    return h;
}

void CWnd::BindProcedure() {
    Window* w = FindWindowRecord(m_hWnd);
    if (!w || w->proc == AfxWndProc)
        return;
    m_pfnSuper = w->proc;
    w->proc = AfxWndProc;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd))
        return FALSE;
    BindProcedure();
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent)
        return FALSE;
    HWND item = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return item && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
    Window* w = FindWindowRecord(m_hWnd);
    if (w && w->proc == AfxWndProc && m_pfnSuper)
        w->proc = m_pfnSuper;
    m_pfnSuper = nullptr;
    return Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? w->object : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return nullptr;
    if (w->object)
        return w->object;
    if (!w->temporary) {
        w->temporary = std::make_unique<CWnd>();
        w->temporary->m_hWnd = hWnd;
    }
    return w->temporary.get();
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(std::string& text) const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    text.assign(static_cast<std::size_t>(n) + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got));
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthA(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    POINT corners[2] = {{lpRect->left, lpRect->top}, {lpRect->right, lpRect->bottom}};
    ::ScreenToClient(m_hWnd, &corners[0]);
    ::ScreenToClient(m_hWnd, &corners[1]);
    *lpRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
    DWORD style = GetStyle();
    DWORD updated = (style & ~dwRemove) | dwAdd;
    if (updated == style)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
    return TRUE;
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}

CWnd* CWnd::GetActiveWindow() {
    return FromHandle(::GetActiveWindow());
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate, flags);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetFont(HFONT font, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw);
}

HFONT CWnd::GetFontHandle() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        // An owner-drawn control draws itself: the parent hands the message back to it.
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (dis && dis->hwndItem)
            if (CWnd* child = FromHandlePermanent(dis->hwndItem))
                if (child->OnChildNotify(message, wParam, lParam, pResult))
                    return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(message, 0, 0);
    if (!e)
        return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control)
        if (CWnd* child = FromHandlePermanent(control); child && child != this)
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
                return TRUE;
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::Default() {
    const MSG& current = WindowStore::instance().current;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

void CWnd::OnNcPaint() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}

namespace {

// Offers a queued message to the objects of its window and of that window's parents, the
// window itself first; TRUE when one of them took it.
BOOL WalkPreTranslateTree(MSG* msg) {
    for (HWND h = msg->hwnd; h;) {
        if (CWnd* object = CWnd::FromHandlePermanent(h))
            if (object->PreTranslateMessage(msg))
                return TRUE;
        Window* w = FindWindowRecord(h);
        if (!w || !(w->style & WS_CHILD))
            break;
        h = w->parent;
    }
    return FALSE;
}

} // namespace

INT_PTR CWnd::RunModalLoop(DWORD) {
    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    HWND self = m_hWnd;
    auto running = [&] {
        Window* w = FindWindowRecord(self);
        return m_bContinueModal && w && !w->dialogEnded;
    };
    int idleRounds = 0;
    while (running()) {
        MSG msg;
        while (running() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT) {
                DispatchMessageA(&msg);
                continue;
            }
            if (!WalkPreTranslateTree(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (!running())
            break;
        win::FrontEnd* fe = win::GetFrontEnd();
        if (fe && fe->NextDialogInput(self)) {
            idleRounds = 0;
            continue;
        }
        // Nobody answers: the dialog is closed as Escape closes it; a dialog that refuses
        // that is ended with the cancel code.
        if (++idleRounds == 1) {
            HWND focus = ::GetFocus();
            if (!focus || (focus != self && !IsChild(self, focus)))
                ::SetFocus(self);
            win::UserPressesKey(VK_ESCAPE);
        } else {
            EndModalLoop(IDCANCEL);
        }
    }
    if (Window* w = FindWindowRecord(self); w && w->dialogEnded && m_nModalResult == -1)
        m_nModalResult = w->endResult;
    m_bContinueModal = FALSE;
    return m_nModalResult;
}

void CWnd::EndModalLoop(INT_PTR nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
}

namespace {
CWnd* g_mainWnd = nullptr;
HINSTANCE g_resourceHandle = nullptr;
} // namespace

CWnd* AfxGetMainWnd() {
    return g_mainWnd;
}

void AfxSetMainWnd(CWnd* pWnd) {
    g_mainWnd = pWnd;
}

HINSTANCE AfxGetResourceHandle() {
    return g_resourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hInstance) {
    g_resourceHandle = hInstance;
}
