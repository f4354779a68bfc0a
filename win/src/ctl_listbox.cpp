// The list box class: a list of strings with one selected item, scrolled by its top index.
#include "window_store.h"

#include "win/crtstring.h"
#include "win/gdi.h"
#include "win/paint.h"

#include <algorithm>
#include <cstring>

namespace win {

namespace {

struct ListBoxState : ControlState {
    std::vector<std::string> items;
    std::vector<LPARAM> data;
    int selection = -1;
    int top = 0;
    int itemHeight = 13;
};

bool Notifies(HWND h) {
    return (GetWindowLongPtrA(h, GWL_STYLE) & LBS_NOTIFY) != 0;
}

int VisibleCount(HWND h, const ListBoxState& s) {
    RECT r;
    GetClientRect(h, &r);
    return std::max<int>(1, (r.bottom - r.top) / s.itemHeight);
}

void ScrollIntoView(HWND h, ListBoxState& s, int index) {
    if (index < 0)
        return;
    int visible = VisibleCount(h, s);
    if (index < s.top)
        s.top = index;
    else if (index >= s.top + visible)
        s.top = index - visible + 1;
}

int Count(const ListBoxState& s) {
    return static_cast<int>(s.items.size());
}

int ItemAt(HWND h, const ListBoxState& s, LPARAM l) {
    int y = GET_Y_LPARAM(l);
    if (y < 0)
        return -1;
    int index = s.top + y / s.itemHeight;
    return index < Count(s) ? index : -1;
}

void Select(HWND h, ListBoxState& s, int index, bool notify) {
    s.selection = index;
    ScrollIntoView(h, s, index);
    InvalidateRect(h, nullptr, FALSE);
    if (notify && Notifies(h))
        NotifyParent(h, LBN_SELCHANGE);
}

LRESULT Insert(HWND h, ListBoxState& s, int at, const char* text) {
    std::string item = text ? text : "";
    if (at < 0 || at > Count(s)) {
        at = Count(s);
        if (GetWindowLongPtrA(h, GWL_STYLE) & LBS_SORT)
            at = static_cast<int>(std::upper_bound(s.items.begin(), s.items.end(), item,
                                                   [](const std::string& a, const std::string& b) {
                                                       return _stricmp(a.c_str(), b.c_str()) < 0;
                                                   }) -
                                  s.items.begin());
    }
    s.items.insert(s.items.begin() + at, std::move(item));
    s.data.insert(s.data.begin() + at, 0);
    if (s.selection >= at)
        ++s.selection;
    InvalidateRect(h, nullptr, FALSE);
    return at;
}

LRESULT Find(const ListBoxState& s, WPARAM start, const char* text, bool exact) {
    if (!text || s.items.empty())
        return LB_ERR;
    int n = Count(s);
    int first = static_cast<int>(static_cast<std::intptr_t>(start));
    std::size_t length = std::strlen(text);
    // The search starts after `start` and wraps round to it.
    for (int k = 1; k <= n; ++k) {
        int i = ((first < 0 ? -1 : first) + k) % n;
        const std::string& item = s.items[static_cast<std::size_t>(i)];
        bool hit =
            exact ? _stricmp(item.c_str(), text) == 0 : _strnicmp(item.c_str(), text, length) == 0;
        if (hit)
            return i;
    }
    return LB_ERR;
}

} // namespace

std::unique_ptr<ControlState> MakeListBoxState() {
    return std::make_unique<ListBoxState>();
}

LRESULT ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    ListBoxState* s = StateOf<ListBoxState>(h);
    if (!s)
        return DefWindowProcA(h, m, w, l);
    int index = static_cast<int>(static_cast<std::intptr_t>(w));
    bool valid = index >= 0 && index < Count(*s);
    switch (m) {
    case LB_ADDSTRING:
        return Insert(h, *s, -1, reinterpret_cast<const char*>(l));
    case LB_INSERTSTRING:
        if (index > Count(*s))
            return LB_ERR;
        return Insert(h, *s, index < 0 ? Count(*s) : index, reinterpret_cast<const char*>(l));
    case LB_DELETESTRING:
        if (!valid)
            return LB_ERR;
        s->items.erase(s->items.begin() + index);
        s->data.erase(s->data.begin() + index);
        if (s->selection == index)
            s->selection = -1;
        else if (s->selection > index)
            --s->selection;
        s->top = std::min(s->top, std::max(0, Count(*s) - 1));
        InvalidateRect(h, nullptr, FALSE);
        return Count(*s);
    case LB_RESETCONTENT:
        s->items.clear();
        s->data.clear();
        s->selection = -1;
        s->top = 0;
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case LB_GETCOUNT:
        return Count(*s);
    case LB_SETCURSEL:
        if (!valid) {
            Select(h, *s, -1, false);
            return index == -1 ? 0 : LB_ERR;
        }
        Select(h, *s, index, false);
        return index;
    case LB_GETCURSEL:
        return s->selection;
    case LB_GETTEXT: {
        if (!valid || !l)
            return LB_ERR;
        const std::string& item = s->items[static_cast<std::size_t>(index)];
        std::memcpy(reinterpret_cast<char*>(l), item.c_str(), item.size() + 1);
        return static_cast<LRESULT>(item.size());
    }
    case LB_GETTEXTLEN:
        return valid ? static_cast<LRESULT>(s->items[static_cast<std::size_t>(index)].size())
                     : LB_ERR;
    case LB_FINDSTRING:
        return Find(*s, w, reinterpret_cast<const char*>(l), false);
    case LB_FINDSTRINGEXACT:
        return Find(*s, w, reinterpret_cast<const char*>(l), true);
    case LB_SELECTSTRING: {
        LRESULT found = Find(*s, w, reinterpret_cast<const char*>(l), false);
        if (found != LB_ERR)
            Select(h, *s, static_cast<int>(found), false);
        return found;
    }
    case LB_GETTOPINDEX:
        return s->top;
    case LB_SETTOPINDEX:
        if (!valid)
            return LB_ERR;
        s->top = index;
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case LB_GETITEMHEIGHT:
        return s->itemHeight;
    case LB_GETITEMRECT: {
        if (!valid || !l)
            return LB_ERR;
        RECT client;
        GetClientRect(h, &client);
        int y = (index - s->top) * s->itemHeight;
        *reinterpret_cast<RECT*>(l) = RECT{0, y, client.right, y + s->itemHeight};
        return 0;
    }
    case LB_ITEMFROMPOINT: {
        int item = ItemAt(h, *s, l);
        return item < 0 ? MAKELPARAM(static_cast<WORD>(Count(*s)), 1) : item;
    }
    case WM_LBUTTONDOWN: {
        SetFocus(h);
        int item = ItemAt(h, *s, l);
        if (item >= 0)
            Select(h, *s, item, true); // every click on an item notifies, even the same one
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        int item = ItemAt(h, *s, l);
        if (item >= 0) {
            if (item != s->selection)
                Select(h, *s, item, true);
            if (Notifies(h))
                NotifyParent(h, LBN_DBLCLK);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        int count = Count(*s);
        if (count == 0)
            return 0;
        int target = s->selection;
        switch (w) {
        case VK_UP:
            target = std::max(0, s->selection - 1);
            break;
        case VK_DOWN:
            target = std::min(count - 1, s->selection + 1);
            break;
        case VK_HOME:
            target = 0;
            break;
        case VK_END:
            target = count - 1;
            break;
        case VK_PRIOR:
            target = std::max(0, s->selection - VisibleCount(h, *s));
            break;
        case VK_NEXT:
            target = std::min(count - 1, std::max(0, s->selection) + VisibleCount(h, *s));
            break;
        default:
            return 0;
        }
        if (target != s->selection)
            Select(h, *s, target, true);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // Three items a notch, as far as the last items fill the list.
        int delta = static_cast<short>(HIWORD(w));
        int lines = -3 * delta / WHEEL_DELTA;
        int last = std::max(0, Count(*s) - VisibleCount(h, *s));
        int top = std::clamp(s->top + lines, 0, last);
        if (top != s->top) {
            s->top = top;
            InvalidateRect(h, nullptr, FALSE);
        }
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT: {
        DefWindowProcA(h, m, w, l);
        // A line of the list is as tall as the font.
        HDC dc = ScreenDC();
        HGDIOBJ old =
            SelectObject(dc, w ? reinterpret_cast<HFONT>(w) : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA tm{};
        if (GetTextMetricsA(dc, &tm) && tm.tmHeight > 0)
            s->itemHeight = tm.tmHeight + 1;
        SelectObject(dc, old);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(h, nullptr, FALSE);
        NotifyParent(h, m == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            PaintListBox(h, dc);
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace win
