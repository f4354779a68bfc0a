// What the rich edit control shows: its document in its text area, scrolled, with the
// selection, the caret and the vertical scroll bar.
#include "richedit_view.h"

#include "win/gdi.h"
#include "win/paint.h"

#include <algorithm>

namespace win::richedit {

namespace {

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}

RECT Client(HWND edit) {
    RECT r{};
    GetClientRect(edit, &r);
    return r;
}

// The text area for a client rectangle, with or without the scroll bar's room.
RECT AreaOf(const RECT& client, bool bar) {
    RECT area{client.left + 2, client.top + 1, client.right - 2, client.bottom};
    if (bar)
        area.right = client.right - kScrollBarWidth - 1;
    area.right = std::max(area.right, area.left + 1);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

// Twips to pixels at 96 dots per inch.
int Pixels(long twips) {
    return static_cast<int>((twips + 7) / 15);
}

void Fill(HDC dc, const RECT& r, int colour) {
    FillRect(dc, &r, GetSysColorBrush(colour));
}

// A scroll bar's arrow button: raised, with a small black triangle pointing up or down.
void PaintArrow(HDC dc, RECT box, bool up) {
    Fill(dc, box, COLOR_BTNFACE);
    RECT edge = box;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    int cx = (box.left + box.right) / 2 - 1;
    int cy = (box.top + box.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        int y = up ? cy - 2 + i : cy + 1 - i;
        MoveToEx(dc, cx - i, y, nullptr);
        LineTo(dc, cx + i + 1, y);
    }
    SelectObject(dc, old);
}

void PaintScrollBar(HWND edit, RichEditState& state, HDC dc) {
    RECT bar = ScrollBarRect(edit, state);
    Fill(dc, bar, COLOR_SCROLLBAR);
    int w = bar.right - bar.left;
    PaintArrow(dc, RECT{bar.left, bar.top, bar.right, bar.top + w}, true);
    PaintArrow(dc, RECT{bar.left, bar.bottom - w, bar.right, bar.bottom}, false);
    RECT thumb = ThumbRect(edit, state);
    if (thumb.bottom > thumb.top) {
        Fill(dc, thumb, COLOR_BTNFACE);
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }
}

// Draws the pieces of a line whose top is at y, in their own colours or all in one.
void PaintLine(HDC dc, const Layout& layout, const Line& line, int x0, int y, COLORREF automatic,
               const COLORREF* only) {
    for (const Piece& piece : line.pieces) {
        HFONT font = layout.font(piece.font);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SetTextColor(dc, only ? *only : piece.automaticColor ? automatic : piece.color);
        int top = y + line.ascent - piece.rise - tm.tmAscent;
        TextOutA(dc, x0 + piece.x, top, piece.text.c_str(), static_cast<int>(piece.text.size()));
        SelectObject(dc, old);
    }
}

} // namespace

void Relayout(RichEditState& state) {
    state.layout.reset();
}

Layout& LayoutOf(HWND edit, RichEditState& state) {
    RECT client = Client(edit);
    int fullWidth = AreaOf(client, false).right - AreaOf(client, false).left;
    if (state.layout && state.layoutWidth == fullWidth)
        return *state.layout;
    bool wrap = state.lineWidth != 1;
    auto make = [&](bool bar) {
        RECT area = AreaOf(client, bar);
        int width = area.right - area.left;
        int wrapAt = state.lineWidth > 1 ? Pixels(state.lineWidth) : width;
        state.layout =
            std::make_unique<Layout>(state.document, ScreenDC(), wrap ? wrapAt : width, wrap);
        state.layoutWithBar = bar;
    };
    make(false);
    RECT area = AreaOf(client, false);
    if ((StyleOf(edit) & WS_VSCROLL) && state.layout->height() > area.bottom - area.top)
        make(true);
    state.layoutWidth = fullWidth;
    return *state.layout;
}

RECT TextArea(HWND edit, RichEditState& state) {
    LayoutOf(edit, state);
    return AreaOf(Client(edit), state.layoutWithBar);
}

bool ScrollBarShows(HWND edit, RichEditState& state) {
    LayoutOf(edit, state);
    return state.layoutWithBar;
}

RECT ScrollBarRect(HWND edit, RichEditState& state) {
    RECT client = Client(edit);
    if (!ScrollBarShows(edit, state))
        return RECT{client.right, client.top, client.right, client.bottom};
    return RECT{client.right - kScrollBarWidth, client.top, client.right, client.bottom};
}

int ScrollLimit(HWND edit, RichEditState& state) {
    RECT area = TextArea(edit, state);
    return std::max(0, LayoutOf(edit, state).height() - (area.bottom - area.top));
}

RECT ThumbRect(HWND edit, RichEditState& state) {
    RECT bar = ScrollBarRect(edit, state);
    int w = bar.right - bar.left;
    int trackTop = bar.top + w, trackBottom = bar.bottom - w;
    int track = trackBottom - trackTop;
    RECT area = TextArea(edit, state);
    int visible = area.bottom - area.top;
    int total = std::max(1, LayoutOf(edit, state).height());
    int limit = ScrollLimit(edit, state);
    if (track <= 0 || limit <= 0)
        return RECT{bar.left, trackTop, bar.right, trackTop};
    int height = std::clamp(track * visible / total, std::min(8, track), track);
    int top = trackTop + (track - height) * std::min(state.scrollY, limit) / limit;
    return RECT{bar.left, top, bar.right, top + height};
}

void ScrollTo(HWND edit, RichEditState& state, int y) {
    int target = std::clamp(y, 0, ScrollLimit(edit, state));
    if (target == state.scrollY)
        return;
    state.scrollY = target;
    InvalidateRect(edit, nullptr, FALSE);
}

void ScrollCaretIntoView(HWND edit, RichEditState& state) {
    Layout& layout = LayoutOf(edit, state);
    const Line& line = layout.lines()[layout.LineOf(state.caret)];
    RECT area = TextArea(edit, state);
    int visible = area.bottom - area.top;
    if (line.top < state.scrollY)
        ScrollTo(edit, state, line.top);
    else if (line.top + line.height > state.scrollY + visible)
        ScrollTo(edit, state, line.top + line.height - visible);
}

long PositionAtPoint(HWND edit, RichEditState& state, POINT client) {
    RECT area = TextArea(edit, state);
    return LayoutOf(edit, state)
        .PositionAt(POINT{client.x - area.left, client.y - area.top + state.scrollY});
}

void Paint(HWND edit, RichEditState& state, HDC dc) {
    RECT client = Client(edit);
    Fill(dc, client, COLOR_WINDOW);
    Layout& layout = LayoutOf(edit, state);
    state.scrollY = std::clamp(state.scrollY, 0, ScrollLimit(edit, state));
    RECT area = TextArea(edit, state);
    const bool enabled = IsWindowEnabled(edit) != FALSE;
    const bool focused = GetFocus() == edit;
    const COLORREF automatic = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const long selFrom = state.selectionStart(), selTo = state.selectionEnd();
    const bool showSelection = selFrom < selTo && (focused || (StyleOf(edit) & ES_NOHIDESEL));

    int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    for (const Line& line : layout.lines()) {
        int y = area.top + line.top - state.scrollY;
        if (y + line.height <= area.top)
            continue;
        if (y >= area.bottom)
            break;
        PaintLine(dc, layout, line, area.left, y, automatic, nullptr);
        // The selected part of the line, with its paragraph break shown as a little room.
        long lineEnd = line.end + (line.endsParagraph ? 1 : 0);
        if (!showSelection || selTo <= line.first || selFrom >= lineEnd)
            continue;
        auto edge = [&](long position) {
            long offset = std::clamp(position - line.first, 0L, line.end - line.first);
            return line.edges[static_cast<std::size_t>(offset)];
        };
        int x0 = edge(std::max(selFrom, line.first));
        int x1 = edge(std::min(selTo, line.end));
        if (selTo > line.end && line.endsParagraph)
            x1 += 4;
        RECT mark{area.left + x0, y, area.left + x1, y + line.height};
        int inner = SaveDC(dc);
        IntersectClipRect(dc, mark.left, mark.top, mark.right, mark.bottom);
        Fill(dc, mark, COLOR_HIGHLIGHT);
        PaintLine(dc, layout, line, area.left, y, automatic, &highlightText);
        RestoreDC(dc, inner);
    }
    if (focused && enabled && selFrom == selTo && !(StyleOf(edit) & ES_READONLY)) {
        POINT at = layout.CaretPoint(state.caret);
        const Line& line = layout.lines()[layout.LineOf(state.caret)];
        int x = area.left + std::min<int>(at.x, area.right - area.left - 1);
        int y = area.top + at.y - state.scrollY;
        RECT caret{x, y, x + 1, y + line.height};
        FillRect(dc, &caret, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    RestoreDC(dc, saved);
    if (ScrollBarShows(edit, state))
        PaintScrollBar(edit, state, dc);
}

} // namespace win::richedit
