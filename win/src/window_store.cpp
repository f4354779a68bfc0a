#include "window_store.h"

#include <algorithm>
#include <cctype>

namespace win {

WindowStore& WindowStore::instance() {
    static auto* store = new WindowStore; // lives for the whole process
    return *store;
}

WindowStore::WindowStore() {
    RegisterBuiltInClasses(*this);
}

Window* WindowStore::find(HWND hWnd) {
    auto it = m_windows.find(hWnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

Window* WindowStore::create() {
    // Handles are numbers handed out once, never addresses, so that a stale handle cannot
    // reach a new window that happens to sit at the same place.
    m_next += 4;
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(m_next);
    Window* raw = window.get();
    m_windows.emplace(raw->handle, std::move(window));
    return raw;
}

void WindowStore::remove(HWND hWnd) {
    m_topLevel.erase(std::remove(m_topLevel.begin(), m_topLevel.end(), hWnd), m_topLevel.end());
    modalDialogs.erase(std::remove(modalDialogs.begin(), modalDialogs.end(), hWnd),
                       modalDialogs.end());
    if (focus == hWnd)
        focus = nullptr;
    if (capture == hWnd)
        capture = nullptr;
    if (active == hWnd)
        active = nullptr;
    queue.erase(
        std::remove_if(queue.begin(), queue.end(), [hWnd](const MSG& m) { return m.hwnd == hWnd; }),
        queue.end());
    if (Window* w = find(hWnd))
        FreeSurface(*w);
    m_windows.erase(hWnd);
}

const WindowClass* WindowStore::findClass(const std::string& name) const {
    for (const auto& cls : m_classes)
        if (cls->name.size() == name.size() &&
            std::equal(name.begin(), name.end(), cls->name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return cls.get();
    return nullptr;
}

bool WindowStore::registerClass(WindowClass cls) {
    if (findClass(cls.name))
        return false;
    m_classes.push_back(std::make_unique<WindowClass>(std::move(cls)));
    return true;
}

RECT BorderOf(DWORD style, DWORD exStyle) {
    int frame = 0;
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        frame = 3;
        caption = 18;
    } else if (style & WS_DLGFRAME) {
        frame = 3;
    } else if (style & WS_BORDER) {
        frame = 1;
    }
    if (exStyle & WS_EX_CLIENTEDGE)
        frame += 2;
    else if (exStyle & WS_EX_STATICEDGE)
        frame += 1;
    return RECT{frame, frame + caption, frame, frame};
}

RECT ClientRectInParent(const Window& w) {
    RECT b = BorderOf(w.style, w.exStyle);
    RECT r{w.rect.left + b.left, w.rect.top + b.top, w.rect.right - b.right,
           w.rect.bottom - b.bottom};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

void NotifyParent(HWND control, UINT code) {
    Window* w = FindWindowRecord(control);
    if (!w || !w->parent || !(w->style & WS_CHILD))
        return;
    SendMessageA(w->parent, WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(w->id), static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(control));
}

void RegisterBuiltInClasses(WindowStore& store) {
    store.registerClass({WC_DIALOG, DialogClassProc, nullptr, nullptr});
    store.registerClass({WC_BUTTONA, ButtonProc, nullptr, MakeButtonState});
    store.registerClass({WC_STATICA, StaticProc, nullptr, nullptr});
    store.registerClass({WC_EDITA, EditProc, nullptr, MakeEditState});
    store.registerClass({WC_LISTBOXA, ListBoxProc, nullptr, MakeListBoxState});
    store.registerClass({TOOLTIPS_CLASSA, ToolTipProc, nullptr, MakeToolTipState});
    store.registerClass({RICHEDIT_CLASSA, RichEditProc, nullptr, MakeRichEditState});
    // A plain window: frames and owners.
    store.registerClass({"Window", DefWindowProcA, nullptr, nullptr});
}

} // namespace win

WORD RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    static WORD atom = 0xC000;
    if (!win::WindowStore::instance().registerClass(
            {wc->lpszClassName, wc->lpfnWndProc, wc->hInstance, nullptr})) {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    return ++atom;
}
