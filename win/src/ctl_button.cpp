// The button class: push buttons (default or not, owner-drawn), check boxes and group boxes.
#include "window_store.h"

#include "win/paint.h"

namespace win {

namespace {

struct ButtonState : ControlState {
    bool pushed = false;   // held down by the mouse or the space bar
    bool tracking = false; // the left button went down on it and still holds the capture
    bool spaceDown = false;
    UINT check = BST_UNCHECKED;
};

DWORD TypeOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsPushType(DWORD type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

void SetPushed(HWND h, ButtonState& s, bool pushed) {
    if (s.pushed == pushed)
        return;
    s.pushed = pushed;
    InvalidateRect(h, nullptr, FALSE);
}

void Clicked(HWND h) {
    if (TypeOf(h) == BS_AUTOCHECKBOX) {
        if (ButtonState* s = StateOf<ButtonState>(h)) {
            s->check = s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            InvalidateRect(h, nullptr, FALSE);
        }
    }
    NotifyParent(h, BN_CLICKED);
}

bool InsideClient(HWND h, LPARAM l) {
    RECT r;
    GetClientRect(h, &r);
    return PtInRect(&r, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
}

} // namespace

std::unique_ptr<ControlState> MakeButtonState() {
    return std::make_unique<ButtonState>();
}

UINT ButtonDrawState(HWND h) {
    UINT state = 0;
    if (ButtonState* s = StateOf<ButtonState>(h)) {
        if (s->pushed)
            state |= ODS_SELECTED;
        if (s->check == BST_CHECKED)
            state |= ODS_CHECKED;
    }
    if (GetFocus() == h)
        state |= ODS_FOCUS;
    if (!IsWindowEnabled(h))
        state |= ODS_DISABLED;
    return state;
}

LRESULT ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    ButtonState* s = StateOf<ButtonState>(h);
    if (!s)
        return DefWindowProcA(h, m, w, l);
    DWORD type = TypeOf(h);
    switch (m) {
    case WM_NCHITTEST:
        return type == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
    case WM_GETDLGCODE:
        if (type == BS_DEFPUSHBUTTON)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (IsPushType(type))
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (type == BS_GROUPBOX)
            return DLGC_STATIC;
        return DLGC_BUTTON;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (type == BS_GROUPBOX)
            return 0;
        SetFocus(h);
        SetCapture(h);
        s->tracking = true;
        SetPushed(h, *s, true);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == h)
            SetPushed(h, *s, InsideClient(h, l));
        return 0;
    case WM_LBUTTONUP: {
        if (!s->tracking)
            return 0;
        bool inside = InsideClient(h, l);
        s->tracking = false;
        SetPushed(h, *s, false);
        if (GetCapture() == h)
            ReleaseCapture();
        if (inside && IsWindow(h))
            Clicked(h);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->tracking) {
            s->tracking = false;
            SetPushed(h, *s, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (w == VK_SPACE && type != BS_GROUPBOX) {
            s->spaceDown = true;
            SetPushed(h, *s, true);
        }
        return 0;
    case WM_KEYUP:
        if (w == VK_SPACE && s->spaceDown) {
            s->spaceDown = false;
            SetPushed(h, *s, false);
            Clicked(h);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (m == WM_KILLFOCUS && s->spaceDown) {
            s->spaceDown = false;
            SetPushed(h, *s, false);
        }
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case BM_CLICK:
        // As the mouse would: down and up in the middle of the button.
        if (IsWindowEnabled(h) && type != BS_GROUPBOX) {
            RECT r;
            GetClientRect(h, &r);
            LPARAM centre =
                MAKELPARAM(static_cast<WORD>(r.right / 2), static_cast<WORD>(r.bottom / 2));
            SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, centre);
            SendMessageA(h, WM_LBUTTONUP, 0, centre);
        }
        return 0;
    case BM_SETSTYLE: {
        DWORD style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
        style = (style & 0xFFFF0000u) | (static_cast<DWORD>(w) & 0xFFFFu);
        SetWindowLongPtrA(h, GWL_STYLE, static_cast<LONG_PTR>(style));
        if (l)
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return 0;
    }
    case BM_GETSTATE: {
        LRESULT state = s->check;
        if (s->pushed)
            state |= BST_PUSHED;
        if (GetFocus() == h)
            state |= BST_FOCUS;
        return state;
    }
    case BM_SETSTATE:
        SetPushed(h, *s, w != 0);
        return 0;
    case BM_GETCHECK:
        return s->check;
    case BM_SETCHECK:
        s->check = static_cast<UINT>(w);
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (type == BS_OWNERDRAW) {
            // An owner-drawn button asks its parent to draw it.
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = ButtonDrawState(h);
            dis.hwndItem = h;
            dis.hDC = dc;
            GetClientRect(h, &dis.rcItem);
            if (dc)
                SendMessageA(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else if (dc) {
            PaintStandardButton(h, dc, ButtonDrawState(h));
        }
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace win
