// The tooltip class: tools (windows or areas of a window) with a text each.  Messages relayed
// to it tell it where the mouse is; while the mouse rests on a tool of an active tooltip, the
// tooltip shows that tool's text as its window text and is visible.
#include "window_store.h"

#include "win/paint.h"

#include <algorithm>
#include <cstring>

namespace win {

namespace {

struct Tool {
    UINT flags;
    HWND hwnd;
    UINT_PTR id;
    RECT rect;
    std::string text;
};

struct ToolTipState : ControlState {
    std::vector<Tool> tools;
    bool active = true;
    int shown = -1;
};

bool SameTool(const Tool& t, const TOOLINFOA& ti) {
    return t.hwnd == ti.hwnd && t.id == ti.uId;
}

// Whether the cursor (screen point) rests on the tool.
bool Over(const Tool& t, POINT screen) {
    if (t.flags & TTF_IDISHWND) {
        HWND tool = reinterpret_cast<HWND>(t.id);
        RECT r;
        if (!IsWindowVisible(tool) || !GetWindowRect(tool, &r))
            return false;
        return PtInRect(&r, screen);
    }
    POINT p = screen;
    ScreenToClient(t.hwnd, &p);
    return PtInRect(&t.rect, p);
}

void Show(HWND h, ToolTipState& s, int tool, POINT screen) {
    if (tool == s.shown)
        return;
    s.shown = tool;
    if (tool < 0) {
        ShowWindow(h, SW_HIDE);
        return;
    }
    const std::string& text = s.tools[static_cast<std::size_t>(tool)].text;
    DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    int width = 8 + 6 * static_cast<int>(text.size());
    SetWindowPos(h, nullptr, screen.x, screen.y + 20, std::min(width, 600), 19,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

} // namespace

void ToolTipsFollowCursor() {
    POINT cursor;
    GetCursorPos(&cursor);
    for (HWND top : TopLevelWindows()) {
        ToolTipState* s = StateOf<ToolTipState>(top);
        if (s && s->shown >= 0 && !Over(s->tools[static_cast<std::size_t>(s->shown)], cursor))
            Show(top, *s, -1, cursor);
    }
}

std::unique_ptr<ControlState> MakeToolTipState() {
    return std::make_unique<ToolTipState>();
}

LRESULT ToolTipProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    ToolTipState* s = StateOf<ToolTipState>(h);
    if (!s)
        return DefWindowProcA(h, m, w, l);
    switch (m) {
    case TTM_ADDTOOLA: {
        const auto* ti = reinterpret_cast<const TOOLINFOA*>(l);
        if (!ti)
            return FALSE;
        for (const Tool& t : s->tools)
            if (SameTool(t, *ti))
                return FALSE;
        s->tools.push_back(
            {ti->uFlags, ti->hwnd, ti->uId, ti->rect, ti->lpszText ? ti->lpszText : ""});
        return TRUE;
    }
    case TTM_DELTOOLA: {
        const auto* ti = reinterpret_cast<const TOOLINFOA*>(l);
        if (!ti)
            return 0;
        for (std::size_t i = 0; i < s->tools.size(); ++i)
            if (SameTool(s->tools[i], *ti)) {
                if (s->shown == static_cast<int>(i))
                    Show(h, *s, -1, POINT{});
                s->tools.erase(s->tools.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        return 0;
    }
    case TTM_UPDATETIPTEXTA: {
        const auto* ti = reinterpret_cast<const TOOLINFOA*>(l);
        if (!ti)
            return 0;
        for (Tool& t : s->tools)
            if (SameTool(t, *ti))
                t.text = ti->lpszText ? ti->lpszText : "";
        return 0;
    }
    case TTM_GETTEXTA: {
        auto* ti = reinterpret_cast<TOOLINFOA*>(l);
        if (!ti || !ti->lpszText)
            return 0;
        ti->lpszText[0] = '\0';
        for (const Tool& t : s->tools)
            if (SameTool(t, *ti)) {
                std::size_t n = std::min<std::size_t>(t.text.size(), w ? w - 1 : 79);
                std::memcpy(ti->lpszText, t.text.data(), n);
                ti->lpszText[n] = '\0';
            }
        return 0;
    }
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(s->tools.size());
    case TTM_ACTIVATE:
        s->active = w != 0;
        if (!s->active)
            Show(h, *s, -1, POINT{});
        return 0;
    case TTM_POP:
        Show(h, *s, -1, POINT{});
        return 0;
    case TTM_RELAYEVENT: {
        const auto* msg = reinterpret_cast<const MSG*>(l);
        if (!msg)
            return 0;
        if (msg->message == WM_MOUSEMOVE && s->active) {
            int over = -1;
            for (std::size_t i = 0; i < s->tools.size(); ++i)
                if (Over(s->tools[i], msg->pt)) {
                    over = static_cast<int>(i);
                    break;
                }
            Show(h, *s, over, msg->pt);
        } else if (msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN ||
                   msg->message == WM_MBUTTONDOWN || msg->message == WM_MOUSELEAVE ||
                   msg->message == WM_KEYDOWN) {
            Show(h, *s, -1, msg->pt);
        }
        return 0;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            PaintToolTip(h, dc);
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace win
