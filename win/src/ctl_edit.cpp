// The edit class: a line (or lines) of text the user types, with a selection, a text limit
// and change notifications.
#include "window_store.h"

#include "win/paint.h"

#include <algorithm>

namespace win {

namespace {

struct EditState : ControlState {
    std::size_t selStart = 0;
    std::size_t selEnd = 0; // the caret
    std::size_t limit = 32767;
};

std::string& TextOf(HWND h) {
    return FindWindowRecord(h)->text;
}

bool Multiline(HWND h) {
    return (GetWindowLongPtrA(h, GWL_STYLE) & ES_MULTILINE) != 0;
}

void Changed(HWND h) {
    InvalidateRect(h, nullptr, FALSE);
    NotifyParent(h, EN_UPDATE);
    NotifyParent(h, EN_CHANGE);
}

// Replaces the selection with `text` as far as the limit allows; false when nothing of it
// fitted (the parent hears EN_MAXTEXT).
bool ReplaceSelection(HWND h, EditState& s, const std::string& text) {
    std::string& current = TextOf(h);
    std::size_t from = std::min(s.selStart, s.selEnd), to = std::max(s.selStart, s.selEnd);
    from = std::min(from, current.size());
    to = std::min(to, current.size());
    std::size_t room =
        s.limit > current.size() - (to - from) ? s.limit - (current.size() - (to - from)) : 0;
    std::string inserted = text.substr(0, std::min(room, text.size()));
    if (inserted.size() < text.size())
        NotifyParent(h, EN_MAXTEXT);
    if (inserted.empty() && from == to)
        return false;
    current.replace(from, to - from, inserted);
    s.selStart = s.selEnd = from + inserted.size();
    Changed(h);
    return true;
}

// The start of the UTF-8 character before / the end of the one after a position.
std::size_t PreviousChar(const std::string& t, std::size_t at) {
    if (at == 0)
        return 0;
    --at;
    while (at > 0 && (static_cast<unsigned char>(t[at]) & 0xC0) == 0x80)
        --at;
    return at;
}
std::size_t NextChar(const std::string& t, std::size_t at) {
    if (at >= t.size())
        return t.size();
    ++at;
    while (at < t.size() && (static_cast<unsigned char>(t[at]) & 0xC0) == 0x80)
        ++at;
    return at;
}

} // namespace

LRESULT EditDialogCode(HWND h, LPARAM l) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
    if (style & ES_MULTILINE) {
        code |= DLGC_WANTALLKEYS;
        // Tab and Escape stay the dialog's; Enter too unless the edit takes line breaks.
        if (const MSG* msg = reinterpret_cast<const MSG*>(l);
            msg && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE ||
             (msg->wParam == VK_RETURN && !(style & ES_WANTRETURN))))
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

LRESULT AnswerGetSel(std::size_t start, std::size_t end, WPARAM w, LPARAM l) {
    auto from = static_cast<DWORD>(std::min(start, end));
    auto to = static_cast<DWORD>(std::max(start, end));
    if (w)
        *reinterpret_cast<DWORD*>(w) = from;
    if (l)
        *reinterpret_cast<DWORD*>(l) = to;
    return MAKELPARAM(static_cast<WORD>(std::min<DWORD>(from, 0xFFFF)),
                      static_cast<WORD>(std::min<DWORD>(to, 0xFFFF)));
}

std::unique_ptr<ControlState> MakeEditState() {
    return std::make_unique<EditState>();
}

LRESULT EditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    EditState* s = StateOf<EditState>(h);
    if (!s)
        return DefWindowProcA(h, m, w, l);
    switch (m) {
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcA(h, m, w, l);
        s->selStart = s->selEnd = 0;
        if (!Multiline(h))
            NotifyParent(h, EN_CHANGE);
        return r;
    }
    case WM_GETDLGCODE:
        return EditDialogCode(h, l);
    case WM_CHAR: {
        if (GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY)
            return 0;
        unsigned char c = static_cast<unsigned char>(w);
        if (c == 0x08) {
            if (s->selStart == s->selEnd)
                s->selStart = PreviousChar(TextOf(h), s->selEnd);
            ReplaceSelection(h, *s, "");
        } else if (c == '\r') {
            if (Multiline(h))
                ReplaceSelection(h, *s, "\r\n");
        } else if (c >= 0x20 || c == '\t') {
            if (c != '\t' || Multiline(h))
                ReplaceSelection(h, *s, std::string(1, static_cast<char>(c)));
        }
        return 0;
    }
    case WM_KEYDOWN: {
        const std::string& t = TextOf(h);
        switch (w) {
        case VK_DELETE:
            if (GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY)
                return 0;
            if (s->selStart == s->selEnd)
                s->selEnd = NextChar(t, s->selEnd);
            ReplaceSelection(h, *s, "");
            return 0;
        case VK_LEFT:
            s->selStart = s->selEnd = PreviousChar(t, std::min(s->selEnd, t.size()));
            return 0;
        case VK_RIGHT:
            s->selStart = s->selEnd = NextChar(t, s->selEnd);
            return 0;
        case VK_HOME:
            s->selStart = s->selEnd = 0;
            return 0;
        case VK_END:
            s->selStart = s->selEnd = t.size();
            return 0;
        default:
            return 0;
        }
    }
    case EM_SETSEL: {
        std::size_t size = TextOf(h).size();
        auto clamp = [size](WPARAM v) {
            auto sv = static_cast<std::intptr_t>(v);
            return sv < 0 ? size : std::min(static_cast<std::size_t>(sv), size);
        };
        if (static_cast<std::intptr_t>(w) == -1) {
            s->selStart = s->selEnd; // no selection; the caret stays
        } else {
            s->selStart = clamp(w);
            s->selEnd = clamp(static_cast<WPARAM>(l));
        }
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    }
    case EM_GETSEL:
        return AnswerGetSel(s->selStart, s->selEnd, w, l);
    case EM_REPLACESEL:
        ReplaceSelection(h, *s, l ? reinterpret_cast<const char*>(l) : "");
        return 0;
    case EM_LIMITTEXT:
        s->limit = w ? static_cast<std::size_t>(w) : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s->limit);
    case WM_LBUTTONDOWN:
        SetFocus(h);
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(h, nullptr, FALSE);
        NotifyParent(h, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(h, nullptr, FALSE);
        NotifyParent(h, EN_KILLFOCUS);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            PaintEdit(h, dc);
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace win
