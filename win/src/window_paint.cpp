// Painting: every window draws into a surface of its own size, its frame first (WM_NCPAINT),
// then its background and client area.  A picture of a window puts its children's surfaces
// over its own, as the screen would show them.
#include "window_store.h"

#include "win/gdi.h"
#include "win/paint.h"

#include <map>
#include <utility>

namespace win {

namespace {

// The window's surface, of the window's size; made again when the size changed.
HBITMAP Surface(Window& w) {
    int cx = std::max<int>(1, w.rect.right - w.rect.left);
    int cy = std::max<int>(1, w.rect.bottom - w.rect.top);
    if (w.surface) {
        BITMAP info{};
        if (GetObjectA(w.surface, sizeof info, &info) && info.bmWidth == cx && info.bmHeight == cy)
            return w.surface;
        DeleteObject(w.surface);
    }
    w.surface = CreateSurfaceBitmap(cx, cy, GetSysColor(COLOR_BTNFACE));
    return w.surface;
}

HFONT FontOf(HWND h) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string TextOf(HWND h) {
    Window* w = FindWindowRecord(h);
    return w ? w->text : std::string();
}

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}

void FillWith(HDC dc, const RECT& r, int colour) {
    FillRect(dc, &r, GetSysColorBrush(colour));
}

// The frame of a window: its border, and a dialog's caption bar.
void PaintFrame(HWND h, HDC dc) {
    Window* w = FindWindowRecord(h);
    if (!w)
        return;
    RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if ((w->style & WS_CAPTION) == WS_CAPTION || (w->style & WS_DLGFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        RECT inner = r;
        FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
        if ((w->style & WS_CAPTION) == WS_CAPTION) {
            RECT bar{r.left + 1, r.top + 1, r.right - 1, r.top + 19};
            FillWith(dc, bar, COLOR_ACTIVECAPTION);
            HFONT old = static_cast<HFONT>(SelectObject(dc, FontOf(h)));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
            RECT text{bar.left + 4, bar.top, bar.right - 4, bar.bottom};
            DrawTextA(dc, w->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            SelectObject(dc, old);
        }
        return;
    }
    if (w->exStyle & WS_EX_CLIENTEDGE) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if (w->exStyle & WS_EX_STATICEDGE) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (w->style & WS_BORDER)
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// The DC on a window's surface; the client area only, in client coordinates, or the whole.
HDC SurfaceDC(HWND h, bool clientOnly) {
    Window* w = FindWindowRecord(h);
    if (!w)
        return nullptr;
    HDC dc = CreateBitmapDC(Surface(*w));
    if (!dc)
        return nullptr;
    if (clientOnly) {
        RECT client = ClientRectInParent(*w);
        SetViewportOrgEx(dc, client.left - w->rect.left, client.top - w->rect.top, nullptr);
        IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
    }
    SelectObject(dc, FontOf(h));
    return dc;
}

// Paints the window and every visible child, frames included.
void PaintTree(HWND h) {
    Window* w = FindWindowRecord(h);
    if (!w || !(w->style & WS_VISIBLE))
        return;
    w->needsPaint = w->frameNeedsPaint = true;
    UpdateWindow(h);
    for (HWND child : ChildWindows(h))
        PaintTree(child);
}

// Copies the window's surface, and its children's over it, into `target` at (x, y).
void Compose(HWND h, HDC target, int x, int y) {
    Window* w = FindWindowRecord(h);
    if (!w || !(w->style & WS_VISIBLE) || !w->surface)
        return;
    HDC source = CreateBitmapDC(w->surface);
    BitBlt(target, x, y, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top, source, 0, 0,
           SRCCOPY);
    DeleteDC(source);
    RECT client = ClientRectInParent(*w);
    for (HWND child : ChildWindows(h)) {
        Window* c = FindWindowRecord(child);
        if (!c)
            continue;
        Compose(child, target, x + client.left - w->rect.left + c->rect.left,
                y + client.top - w->rect.top + c->rect.top);
    }
}

// Paints the window and its visible children where they need it, parents first, as the
// message loop would.
void PaintPending(HWND h) {
    Window* w = FindWindowRecord(h);
    if (!w || !(w->style & WS_VISIBLE))
        return;
    UpdateWindow(h);
    for (HWND child : ChildWindows(h))
        PaintPending(child);
}

// A new bitmap of the window's size with its surface and its children's over it.
HBITMAP Composed(Window& w) {
    int cx = std::max<int>(1, w.rect.right - w.rect.left);
    int cy = std::max<int>(1, w.rect.bottom - w.rect.top);
    HBITMAP picture = CreateSurfaceBitmap(cx, cy, GetSysColor(COLOR_BTNFACE));
    HDC dc = CreateBitmapDC(picture);
    Compose(w.handle, dc, 0, 0);
    DeleteDC(dc);
    return picture;
}

} // namespace

HFONT DialogFont(const std::string& name, int pointSize) {
    static auto* fonts = new std::map<std::pair<std::string, int>, HFONT>; // for the process
    auto key = std::make_pair(name, pointSize);
    auto it = fonts->find(key);
    if (it != fonts->end())
        return it->second;
    HFONT font = CreateDialogFont(name, pointSize);
    fonts->emplace(key, font);
    return font;
}

SIZE DialogBaseUnits(const std::string& fontName, int pointSize) {
    // As the system measures a dialog font: half the average width of the letters, rounded,
    // and the font's height.
    HDC dc = ScreenDC();
    HGDIOBJ old = SelectObject(dc, DialogFont(fontName, pointSize));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE letters{};
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(dc, kAlphabet, 52, &letters);
    SelectObject(dc, old);
    return SIZE{std::max<LONG>(1, (letters.cx / 26 + 1) / 2), std::max<LONG>(1, tm.tmHeight)};
}

HBITMAP WindowSurface(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? Surface(*w) : nullptr;
}

HBITMAP ComposeWindowPicture(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return nullptr;
    PaintPending(hWnd);
    if ((w = FindWindowRecord(hWnd)) == nullptr)
        return nullptr;
    return Composed(*w);
}

bool SaveWindowPicture(HWND hWnd, const std::string& unixPath, std::string* error) {
    Window* w = FindWindowRecord(hWnd);
    if (!w) {
        if (error)
            *error = "no such window";
        return false;
    }
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    w->style |= WS_VISIBLE; // a hidden window is pictured as it would look
    PaintTree(hWnd);
    HBITMAP picture = Composed(*w);
    if (!wasVisible)
        w->style &= ~WS_VISIBLE;
    bool ok = WritePng(picture, unixPath, error);
    DeleteObject(picture);
    return ok;
}

void FreeSurface(Window& w) {
    if (w.surface)
        DeleteObject(w.surface);
    w.surface = nullptr;
}

} // namespace win

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    win::Window* w = win::FindWindowRecord(hWnd);
    if (!w || !lpPaint)
        return nullptr;
    *lpPaint = PAINTSTRUCT{};
    if (w->frameNeedsPaint)
        SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    if ((w = win::FindWindowRecord(hWnd)) == nullptr)
        return nullptr;
    w->frameNeedsPaint = false;
    w->needsPaint = false;
    GetClientRect(hWnd, &lpPaint->rcPaint);
    HDC dc = GetDC(hWnd);
    lpPaint->hdc = dc;
    lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

HDC GetDC(HWND hWnd) {
    if (!hWnd)
        return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return win::SurfaceDC(hWnd, true);
}

HDC GetWindowDC(HWND hWnd) {
    if (!hWnd)
        return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return win::SurfaceDC(hWnd, false);
}

int ReleaseDC(HWND, HDC hDC) {
    return hDC && DeleteDC(hDC) ? 1 : 0;
}

namespace win {

// Drawn by DefWindowProc for WM_NCPAINT.
void PaintNonClient(HWND h) {
    if (HDC dc = GetWindowDC(h)) {
        PaintFrame(h, dc);
        ReleaseDC(h, dc);
    }
}

// ---- The standard controls ----

void PaintDialogBackground(HWND dialog, HDC dc) {
    RECT r;
    GetClientRect(dialog, &r);
    FillWith(dc, r, COLOR_BTNFACE);
}

void PaintStandardButton(HWND button, HDC dc, UINT state) {
    RECT r;
    GetClientRect(button, &r);
    DWORD type = StyleOf(button) & BS_TYPEMASK;
    std::string text = TextOf(button);
    bool disabled = (state & ODS_DISABLED) != 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    FillWith(dc, r, COLOR_BTNFACE);
    if (type == BS_GROUPBOX) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT frame{r.left, r.top + size.cy / 2, r.right, r.bottom};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (!text.empty()) {
            RECT label{r.left + 8, r.top, r.left + 8 + size.cx + 4, r.top + size.cy};
            FillWith(dc, label, COLOR_BTNFACE);
            label.left += 2;
            DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_LEFT);
        }
        return;
    }
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
        RECT box{r.left, (r.top + r.bottom) / 2 - 6, r.left + 13, (r.top + r.bottom) / 2 + 7};
        FillWith(dc, box, COLOR_WINDOW);
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        if (state & ODS_CHECKED) {
            RECT mark = box;
            InflateRect(&mark, -4, -4);
            FillRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        RECT label{box.right + 4, r.top, r.right, r.bottom};
        DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER);
        return;
    }
    bool isDefault = type == BS_DEFPUSHBUTTON;
    RECT face = r;
    if (isDefault || (state & ODS_FOCUS)) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    if (state & ODS_SELECTED)
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
    RECT label = face;
    if (state & ODS_SELECTED)
        OffsetRect(&label, 1, 1);
    if (disabled) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()),
                   static_cast<WPARAM>(text.size()),
                   label.left + (label.right - label.left - size.cx) / 2,
                   label.top + (label.bottom - label.top - size.cy) / 2, size.cx, size.cy,
                   DST_PREFIXTEXT | DSS_DISABLED);
    } else {
        DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    if (state & ODS_FOCUS) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void PaintStatic(HWND control, HDC dc) {
    RECT r;
    GetClientRect(control, &r);
    DWORD style = StyleOf(control);
    FillWith(dc, r, COLOR_BTNFACE);
    switch (style & SS_TYPEMASK) {
    case SS_ETCHEDHORZ: {
        RECT line{r.left, r.top, r.right, r.top + 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    case SS_BLACKFRAME:
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    default:
        break;
    }
    UINT align = (style & SS_TYPEMASK) == SS_CENTER  ? DT_CENTER
                 : (style & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT
                                                     : DT_LEFT;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    std::string text = TextOf(control);
    DrawTextA(dc, text.c_str(), -1, &r,
              align | DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
}

void PaintEdit(HWND edit, HDC dc) {
    RECT r;
    GetClientRect(edit, &r);
    bool enabled = IsWindowEnabled(edit) && !(StyleOf(edit) & ES_READONLY);
    FillWith(dc, r, enabled ? COLOR_WINDOW : COLOR_BTNFACE);
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    std::string text = TextOf(edit);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(edit) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    RECT line{r.left + 1, r.top, r.right - 1, r.bottom};
    UINT flags = (StyleOf(edit) & ES_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
    DrawTextA(dc, text.c_str(), -1, &line, flags | DT_NOPREFIX);
    // The selection of the field with the focus shows highlighted.
    if (GetFocus() == edit && to > from && !(StyleOf(edit) & ES_MULTILINE)) {
        SIZE before{}, selected{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(from), &before);
        std::string part = text.substr(from, to - from);
        GetTextExtentPoint32A(dc, part.c_str(), static_cast<int>(part.size()), &selected);
        RECT mark{line.left + before.cx, r.top + 1, line.left + before.cx + selected.cx,
                  r.bottom - 1};
        FillWith(dc, mark, COLOR_HIGHLIGHT);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        RECT text2{mark.left, r.top, mark.right, r.bottom};
        DrawTextA(dc, part.c_str(), -1, &text2, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void PaintListBox(HWND list, HDC dc) {
    RECT r;
    GetClientRect(list, &r);
    FillWith(dc, r, COLOR_WINDOW);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    int selection = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    for (int i = top; i < count; ++i) {
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (item.top >= r.bottom)
            break;
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        bool selected = i == selection;
        if (selected)
            FillWith(dc, item, COLOR_HIGHLIGHT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT label{item.left + 2, item.top, item.right, item.bottom};
        DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (selected && GetFocus() == list)
            DrawFocusRect(dc, &item);
    }
}

void PaintToolTip(HWND tip, HDC dc) {
    RECT r;
    GetClientRect(tip, &r);
    FillWith(dc, r, COLOR_INFOBK);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT text{r.left + 3, r.top, r.right - 3, r.bottom};
    std::string shown = TextOf(tip);
    DrawTextA(dc, shown.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

} // namespace win
