// Fills, frames, lines, pixels, block transfers, 3D edges and focus rectangles.
#include "gdi_objects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

using namespace win::gdi;

namespace {

constexpr COLORREF kAllBits = 0x00FFFFFFu;

bool UsesPattern(DWORD rop) {
    unsigned code = (rop >> 16) & 0xFFu;
    return ((code >> 4) & 0x0Fu) != (code & 0x0Fu);
}

bool UsesSource(DWORD rop) {
    unsigned code = (rop >> 16) & 0xFFu;
    return ((code >> 2) & 0x33u) != (code & 0x33u);
}

RECT Normalized(int x, int y, int w, int h) {
    RECT r{x, y, x + w, y + h};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

// Applies a raster operation that needs no source to a device rectangle.
void Blend(Canvas& c, const RECT& device, DWORD rop, COLORREF pattern) {
    RECT r;
    if (!c.pixels || !::IntersectRect(&r, &device, &c.clip))
        return;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            c.at(x, y) = c.Store(Rop3(rop, pattern, 0, c.at(x, y)));
}

// The on and off runs of the styled cosmetic pens.
const std::vector<int>& DashPattern(int style) {
    static const std::array<std::vector<int>, 5> patterns = {
        std::vector<int>{},                 // PS_SOLID
        std::vector<int>{18, 6},            // PS_DASH
        std::vector<int>{3, 3},             // PS_DOT
        std::vector<int>{9, 6, 3, 6},       // PS_DASHDOT
        std::vector<int>{9, 3, 3, 3, 3, 3}, // PS_DASHDOTDOT
    };
    return patterns[style >= PS_SOLID && style <= PS_DASHDOTDOT ? style : PS_SOLID];
}

// Draws a line in device pixels from (x0, y0) to (x1, y1) without its end point.  Wide pens
// stamp a square of their width centred on each pixel of the line; styled pens (one pixel
// wide) leave their gaps, or fill them with the background colour in OPAQUE mode.
void DeviceLine(Canvas& c, const Dc& dc, const Pen& pen, int x0, int y0, int x1, int y1) {
    if (pen.style == PS_NULL || !c.pixels)
        return;
    int width = pen.width;
    // A line that misses the clip draws nothing; a very long one is first cut to the clip
    // (widened by the pen), so that its length does not decide the time it takes.
    int margin = width / 2 + 1;
    double left = c.clip.left - margin, right = c.clip.right + margin;
    double top = c.clip.top - margin, bottom = c.clip.bottom + margin;
    if (std::max(x0, x1) < left || std::min(x0, x1) > right || std::max(y0, y1) < top ||
        std::min(y0, y1) > bottom)
        return;
    if (std::max(std::abs(static_cast<double>(x1) - x0), std::abs(static_cast<double>(y1) - y0)) >
        4.0 * (c.cx + c.cy + 2 * margin)) {
        double t0 = 0, t1 = 1, dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
        auto cut = [&](double p, double q) {
            if (p == 0)
                return q >= 0;
            double t = q / p;
            if (p < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            return t0 <= t1;
        };
        if (!cut(-dx, x0 - left) || !cut(dx, right - x0) || !cut(-dy, y0 - top) ||
            !cut(dy, bottom - y0))
            return;
        int cx0 = static_cast<int>(std::lround(x0 + t0 * dx));
        int cy0 = static_cast<int>(std::lround(y0 + t0 * dy));
        // The end point is left out only when it is the line's own.
        int cx1 = static_cast<int>(std::lround(x0 + t1 * dx));
        int cy1 = static_cast<int>(std::lround(y0 + t1 * dy));
        if (t1 < 1) {
            cx1 += dx > 0 ? 1 : dx < 0 ? -1 : 0;
            cy1 += dy > 0 ? 1 : dy < 0 ? -1 : 0;
        }
        x0 = cx0, y0 = cy0, x1 = cx1, y1 = cy1;
    }
    const std::vector<int>& dashes = width > 1 ? DashPattern(PS_SOLID) : DashPattern(pen.style);
    std::size_t dash = 0;
    int remaining = dashes.empty() ? 0 : dashes[0];
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    int lo = -(width / 2), hi = (width - 1) / 2;
    while (x != x1 || y != y1) {
        bool on = dashes.empty() || dash % 2 == 0;
        if (on || dc.state.bkMode == OPAQUE) {
            COLORREF color = on ? pen.color : dc.state.bkColor;
            if (width == 1)
                c.put(x, y, color);
            else
                c.fill(RECT{x + lo, y + lo, x + hi + 1, y + hi + 1}, color);
        }
        if (!dashes.empty() && --remaining == 0) {
            dash = (dash + 1) % dashes.size();
            remaining = dashes[dash];
        }
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// A one-pixel frame inside a device rectangle.
void DeviceFrame(Canvas& c, const RECT& r, COLORREF color) {
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    c.fill({r.left, r.top, r.right, r.top + 1}, color);
    c.fill({r.left, r.bottom - 1, r.right, r.bottom}, color);
    c.fill({r.left, r.top + 1, r.left + 1, r.bottom - 1}, color);
    c.fill({r.right - 1, r.top + 1, r.right, r.bottom - 1}, color);
}

RECT Shifted(const Canvas& c, const RECT& r) {
    return {r.left + c.dx, r.top + c.dy, r.right + c.dx, r.bottom + c.dy};
}

// One ring of a 3D edge: the top and left sides first, then the bottom and right sides over
// them, so the top-right and bottom-left corner pixels take the bottom-right colour.
void EdgeRing(Canvas& c, RECT& r, UINT sides, COLORREF topLeft, COLORREF bottomRight) {
    if (sides & BF_TOP)
        c.fill({r.left, r.top, r.right, r.top + 1}, topLeft);
    if (sides & BF_LEFT)
        c.fill({r.left, r.top, r.left + 1, r.bottom}, topLeft);
    if (sides & BF_BOTTOM)
        c.fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    if (sides & BF_RIGHT)
        c.fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    if (sides & BF_LEFT)
        ++r.left;
    if (sides & BF_TOP)
        ++r.top;
    if (sides & BF_RIGHT)
        --r.right;
    if (sides & BF_BOTTOM)
        --r.bottom;
}

} // namespace

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    Dc* dc;
    Canvas c;
    COLORREF color;
    if (!lprc || !CanvasOf(hDC, dc, c) || !BrushColor(hbr, color))
        return 0;
    c.fill(Shifted(c, *lprc), color);
    return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    Dc* dc;
    Canvas c;
    COLORREF color;
    if (!lprc || !CanvasOf(hDC, dc, c) || !BrushColor(hbr, color))
        return 0;
    DeviceFrame(c, Shifted(c, *lprc), color);
    return 1;
}

BOOL InvertRect(HDC hDC, const RECT* lprc) {
    Dc* dc;
    Canvas c;
    if (!lprc || !CanvasOf(hDC, dc, c))
        return FALSE;
    Blend(c, Shifted(c, *lprc), DSTINVERT, 0);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return FALSE;
    RECT r = Shifted(c, Normalized(left, top, right - left, bottom - top));
    Pen* pen = PenOf(dc);
    COLORREF fill;
    bool filled = BrushColor(dc->state.brush, fill);
    if (!pen || pen->style == PS_NULL) {
        if (filled)
            c.fill({r.left, r.top, r.right - 1, r.bottom - 1}, fill);
        return TRUE;
    }
    int w = pen->width;
    // The pen's rings: centred on the outline, or all inside it for PS_INSIDEFRAME.
    int first = pen->style == PS_INSIDEFRAME ? 0 : -(w / 2);
    int last = pen->style == PS_INSIDEFRAME ? w - 1 : (w - 1) / 2;
    if (filled)
        c.fill({r.left + last + 1, r.top + last + 1, r.right - last - 1, r.bottom - last - 1},
               fill);
    if (w == 1 && pen->style != PS_SOLID && pen->style != PS_INSIDEFRAME) {
        POINT corners[] = {{r.left, r.top},
                           {r.right - 1, r.top},
                           {r.right - 1, r.bottom - 1},
                           {r.left, r.bottom - 1},
                           {r.left, r.top}};
        for (int i = 0; i < 4; ++i)
            DeviceLine(c, *dc, *pen, corners[i].x, corners[i].y, corners[i + 1].x,
                       corners[i + 1].y);
        return TRUE;
    }
    for (int k = first; k <= last; ++k)
        DeviceFrame(c, {r.left + k, r.top + k, r.right - k, r.bottom - k}, pen->color);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return FALSE;
    if (UsesSource(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    COLORREF pattern = 0;
    if (UsesPattern(rop) && !BrushColor(dc->state.brush, pattern))
        return TRUE; // the null brush paints nothing
    Blend(c, Shifted(c, Normalized(x, y, w, h)), rop, pattern);
    return TRUE;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    if (!UsesSource(rop))
        return PatBlt(hdc, x, y, cx, cy, rop);
    Dc *dst, *src;
    Canvas d, s;
    if (!CanvasOf(hdc, dst, d) || !CanvasOf(hdcSrc, src, s))
        return FALSE;
    COLORREF pattern = 0;
    if (UsesPattern(rop) && !BrushColor(dst->state.brush, pattern))
        pattern = 0;
    if (!d.pixels || !s.pixels || cx <= 0 || cy <= 0)
        return TRUE;
    RECT target;
    RECT wanted{x + d.dx, y + d.dy, x + d.dx + cx, y + d.dy + cy};
    if (!::IntersectRect(&target, &wanted, &d.clip))
        return TRUE;
    // The source block is copied first so that a transfer within one surface reads the pixels
    // as they were.  Pixels whose source lies off the source's surface are left alone.
    int w = target.right - target.left, h = target.bottom - target.top;
    int sx0 = x1 + s.dx + (target.left - wanted.left), sy0 = y1 + s.dy + (target.top - wanted.top);
    std::vector<COLORREF> block(static_cast<std::size_t>(w) * h, CLR_INVALID);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            int sx = sx0 + i, sy = sy0 + j;
            if (sx >= 0 && sy >= 0 && sx < s.cx && sy < s.cy)
                block[static_cast<std::size_t>(j) * w + i] = s.at(sx, sy);
        }
    // Monochrome to colour: black takes the text colour and white the background colour of
    // the destination; colour to monochrome: the source's background colour becomes white.
    auto convert = [&](COLORREF v) {
        if (s.mono && !d.mono)
            return v == RGB(0, 0, 0) ? dst->state.textColor : dst->state.bkColor;
        if (!s.mono && d.mono)
            return v == src->state.bkColor ? RGB(255, 255, 255) : RGB(0, 0, 0);
        return v;
    };
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            COLORREF v = block[static_cast<std::size_t>(j) * w + i];
            if (v == CLR_INVALID)
                continue;
            COLORREF& out = d.at(target.left + i, target.top + j);
            out = d.Store(Rop3(rop, pattern, convert(v), out));
        }
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (lppt)
        *lppt = dc->state.position;
    dc->state.position = {x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    Dc* dc = LookupDc(hdc);
    if (!dc || !lppt)
        return FALSE;
    *lppt = dc->state.position;
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return FALSE;
    POINT from = dc->state.position;
    if (Pen* pen = PenOf(dc))
        DeviceLine(c, *dc, *pen, from.x + c.dx, from.y + c.dy, x + c.dx, y + c.dy);
    dc->state.position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
    Dc* dc;
    Canvas c;
    if (!apt || cpt < 2 || !CanvasOf(hdc, dc, c))
        return FALSE;
    if (Pen* pen = PenOf(dc))
        for (int i = 0; i + 1 < cpt; ++i)
            DeviceLine(c, *dc, *pen, apt[i].x + c.dx, apt[i].y + c.dy, apt[i + 1].x + c.dx,
                       apt[i + 1].y + c.dy);
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return CLR_INVALID;
    int dx = x + c.dx, dy = y + c.dy;
    if (!c.pixels || !c.inside(dx, dy))
        return CLR_INVALID;
    c.at(dx, dy) = c.Store(color);
    return c.at(dx, dy);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return CLR_INVALID;
    int dx = x + c.dx, dy = y + c.dy;
    if (!c.pixels || !c.inside(dx, dy))
        return CLR_INVALID;
    return c.at(dx, dy);
}

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    Dc* dc;
    Canvas c;
    if (!qrc || !CanvasOf(hdc, dc, c))
        return FALSE;
    if (grfFlags & BF_DIAGONAL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    UINT sides = grfFlags & BF_RECT;
    RECT r = Shifted(c, *qrc);
    bool mono = grfFlags & BF_MONO, flat = grfFlags & BF_FLAT;
    if (edge & BDR_OUTER) {
        COLORREF tl, br;
        if (mono)
            tl = br = GetSysColor(COLOR_WINDOWFRAME);
        else if (flat)
            tl = br = GetSysColor(COLOR_3DSHADOW);
        else if (edge & BDR_RAISEDOUTER)
            tl = GetSysColor(COLOR_3DLIGHT), br = GetSysColor(COLOR_3DDKSHADOW);
        else
            tl = GetSysColor(COLOR_3DSHADOW), br = GetSysColor(COLOR_3DHILIGHT);
        EdgeRing(c, r, sides, tl, br);
    }
    if (edge & BDR_INNER) {
        COLORREF tl, br;
        if (mono)
            tl = br = GetSysColor(COLOR_WINDOW);
        else if (flat)
            tl = br = GetSysColor(COLOR_3DFACE);
        else if (edge & BDR_RAISEDINNER)
            tl = GetSysColor(COLOR_3DHILIGHT), br = GetSysColor(COLOR_3DSHADOW);
        else
            tl = GetSysColor(COLOR_3DDKSHADOW), br = GetSysColor(COLOR_3DLIGHT);
        EdgeRing(c, r, sides, tl, br);
    }
    if (grfFlags & BF_MIDDLE)
        c.fill(r, GetSysColor(mono || flat ? COLOR_WINDOW : COLOR_3DFACE));
    if (grfFlags & BF_ADJUST)
        *qrc = {r.left - c.dx, r.top - c.dy, r.right - c.dx, r.bottom - c.dy};
    return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
    Dc* dc;
    Canvas c;
    if (!lprc || !CanvasOf(hDC, dc, c))
        return FALSE;
    RECT r = Shifted(c, *lprc);
    if (r.right <= r.left || r.bottom <= r.top || !c.pixels)
        return TRUE;
    // Each border pixel once: the top and bottom rows whole, the sides between them.  The dots
    // lie where the device coordinates add up to an even number.
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0 && c.inside(x, y))
            c.at(x, y) = c.Store(c.at(x, y) ^ kAllBits);
    };
    int xFrom = std::max<LONG>(r.left, c.clip.left), xTo = std::min<LONG>(r.right, c.clip.right);
    int yFrom = std::max<LONG>(r.top + 1, c.clip.top);
    int yTo = std::min<LONG>(r.bottom - 1, c.clip.bottom);
    for (int x = xFrom; x < xTo; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top)
            invert(x, r.bottom - 1);
    }
    for (int y = yFrom; y < yTo; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left)
            invert(r.right - 1, y);
    }
    return TRUE;
}
