#include "gdi_surface.h"

#include "win/gdi.h"

#include <gtest/gtest.h>

namespace {

using wintest::kInk;
using wintest::kPaper;

class GdiDraw : public wintest::Surface {
protected:
    // A brush and pen of the ink colour, selected until the test ends.
    void SelectInk() {
        inkPen = CreatePen(PS_SOLID, 1, kInk);
        inkBrush = CreateSolidBrush(kInk);
        oldPen = SelectObject(dc, inkPen);
        oldBrush = SelectObject(dc, inkBrush);
    }
    void TearDown() override {
        if (inkPen) {
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            EXPECT_TRUE(DeleteObject(inkPen));
            EXPECT_TRUE(DeleteObject(inkBrush));
        }
        Surface::TearDown();
    }
    HPEN inkPen = nullptr;
    HBRUSH inkBrush = nullptr;
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
};

TEST_F(GdiDraw, FillsCoverTheRectangleWithoutItsRightAndBottomEdges) {
    HBRUSH brush = CreateSolidBrush(kInk);
    RECT r{3, 4, 10, 7};
    EXPECT_TRUE(FillRect(dc, &r, brush));
    EXPECT_EQ(Mismatch(r, kInk, kPaper), "");
    // Empty and inverted rectangles draw nothing.
    RECT empty{20, 20, 20, 30}, inverted{30, 30, 25, 35};
    FillRect(dc, &empty, brush);
    FillRect(dc, &inverted, brush);
    EXPECT_EQ(Mismatch(r, kInk, kPaper), "");
    // Off the surface is cut away, not wrapped.
    RECT off{60, -5, 70, 2};
    FillRect(dc, &off, brush);
    EXPECT_EQ(At(63, 0), kInk);
    EXPECT_EQ(At(0, 1), kPaper);
    EXPECT_TRUE(DeleteObject(brush));

    // A colour index plus one paints that system colour; the null brush paints nothing.
    RECT sys{0, 40, 2, 42};
    FillRect(dc, &sys, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1));
    EXPECT_EQ(At(1, 41), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(FillRect(dc, &sys, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
}

TEST_F(GdiDraw, FrameRectAndRectangleOutlineTheLastInsidePixels) {
    SelectInk();
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RECT frame{2, 2, 6, 5};
    FrameRect(dc, &frame, inkBrush);
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x < 6; ++x)
        expected.insert({x, 2}), expected.insert({x, 4});
    expected.insert({2, 3});
    expected.insert({5, 3});
    EXPECT_EQ(Inked(), expected);

    // Outline in the pen, inside in the brush.
    SelectObject(dc, white);
    Rectangle(dc, 10, 10, 15, 14);
    EXPECT_EQ(At(10, 10), kInk);
    EXPECT_EQ(At(14, 13), kInk);
    EXPECT_EQ(At(11, 11), RGB(255, 255, 255));
    EXPECT_EQ(At(13, 12), RGB(255, 255, 255));
    EXPECT_EQ(At(15, 13), kPaper);
    EXPECT_EQ(At(14, 14), kPaper);

    // With the null pen the filled area loses its last column and row.
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, inkBrush);
    Rectangle(dc, 20, 20, 24, 23);
    EXPECT_EQ(At(20, 20), kInk);
    EXPECT_EQ(At(22, 21), kInk);
    EXPECT_EQ(At(23, 21), kPaper);
    EXPECT_EQ(At(22, 22), kPaper);

    // A null brush leaves the inside alone.
    SelectObject(dc, inkPen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 30, 30, 35, 35);
    EXPECT_EQ(At(30, 32), kInk);
    EXPECT_EQ(At(32, 32), kPaper);
}

TEST_F(GdiDraw, WindowAndViewportOriginsShiftDrawing) {
    HBRUSH brush = CreateSolidBrush(kInk);
    POINT old{};
    SetWindowOrgEx(dc, 10, 5, &old);
    EXPECT_EQ(old.x, 0);
    RECT r{12, 6, 14, 8}; // device (2,1)-(4,3)
    FillRect(dc, &r, brush);
    EXPECT_EQ(Mismatch(RECT{2, 1, 4, 3}, kInk, kPaper), "");
    EXPECT_EQ(GetPixel(dc, 12, 6), kInk);
    EXPECT_EQ(SetPixel(dc, 10, 5, kInk), kInk);
    EXPECT_EQ(At(0, 0), kInk);

    // The viewport origin moves the other way: logical (0,0) at device (20,20).
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 20, 20, nullptr);
    RECT s{0, 0, 1, 1};
    FillRect(dc, &s, brush);
    EXPECT_EQ(At(20, 20), kInk);
    POINT p{1, 2};
    LPtoDP(dc, &p, 1);
    EXPECT_EQ(p.x, 21);
    EXPECT_EQ(p.y, 22);
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiDraw, ClipRectangleClips) {
    HBRUSH brush = CreateSolidBrush(kInk);
    EXPECT_EQ(IntersectClipRect(dc, 10, 10, 20, 15), SIMPLEREGION);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, brush);
    EXPECT_EQ(Mismatch(RECT{10, 10, 20, 15}, kInk, kPaper), "");
    EXPECT_EQ(GetPixel(dc, 9, 10), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 5, 5, kInk), CLR_INVALID);

    // The clip box is logical: device pixel 10 is logical 20 with the window origin at 10.
    SetWindowOrgEx(dc, 10, 10, nullptr);
    RECT box{};
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 20);
    EXPECT_EQ(box.right, 30);
    // A clip narrowing further is taken in logical coordinates: device (15,10)-(20,15).
    IntersectClipRect(dc, 25, 0, 100, 100);
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 25);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(IntersectClipRect(dc, 50, 50, 60, 60), NULLREGION);

    // A region replaces the clip (device coordinates); null gives the whole surface back.
    HRGN region = CreateRectRgn(0, 40, 3, 48);
    EXPECT_EQ(SelectClipRgn(dc, region), SIMPLEREGION);
    EXPECT_TRUE(DeleteObject(region)) << "the clip is a copy";
    SetWindowOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &all, brush);
    EXPECT_EQ(At(2, 47), kInk);
    EXPECT_EQ(At(3, 47), kPaper);
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    FillRect(dc, &all, brush);
    EXPECT_EQ(Mismatch(all, kInk, kPaper), "");
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiDraw, LinesLeaveOutTheirEndPoint) {
    SelectInk();
    POINT old{};
    MoveToEx(dc, 2, 3, &old);
    LineTo(dc, 7, 3);
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x < 7; ++x)
        expected.insert({x, 3});
    EXPECT_EQ(Inked(), expected);
    POINT at{};
    GetCurrentPositionEx(dc, &at);
    EXPECT_EQ(at.x, 7);

    // Continuing down: (7,3) is drawn now, (7,6) is not.
    LineTo(dc, 7, 6);
    EXPECT_EQ(At(7, 3), kInk);
    EXPECT_EQ(At(7, 5), kInk);
    EXPECT_EQ(At(7, 6), kPaper);

    // A diagonal touches one pixel per step; drawn backwards it covers the same pixels but
    // the other end.
    MoveToEx(dc, 20, 20, nullptr);
    LineTo(dc, 24, 24);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(At(20 + i, 20 + i), kInk) << i;
    EXPECT_EQ(At(24, 24), kPaper);
    EXPECT_EQ(At(21, 20), kPaper);

    // A line to where it starts draws nothing.
    MoveToEx(dc, 40, 40, nullptr);
    LineTo(dc, 40, 40);
    EXPECT_EQ(At(40, 40), kPaper);

    POINT zigzag[] = {{30, 10}, {33, 10}, {33, 13}};
    Polyline(dc, zigzag, 3);
    EXPECT_EQ(At(30, 10), kInk);
    EXPECT_EQ(At(33, 10), kInk);
    EXPECT_EQ(At(33, 12), kInk);
    EXPECT_EQ(At(33, 13), kPaper);
}

TEST_F(GdiDraw, LinesFromFarOffTheSurfaceCrossItWhereTheyShould) {
    SelectInk();
    MoveToEx(dc, -1000000000, 5, nullptr);
    LineTo(dc, 1000000000, 5);
    EXPECT_EQ(InkInRow(5), kWidth);
    EXPECT_EQ(Inked().size(), static_cast<std::size_t>(kWidth));
    // The diagonal y = x + 10 from far up-left to far down-right.
    MoveToEx(dc, -500000000, -500000000 + 10, nullptr);
    LineTo(dc, 500000000, 500000000 + 10);
    for (int x = 0; x + 10 < kHeight; ++x)
        EXPECT_EQ(At(x, x + 10), kInk) << x;
    EXPECT_EQ(At(3, 14), kPaper);
    // One that passes beside the surface draws nothing.
    MoveToEx(dc, -1000000000, -3, nullptr);
    LineTo(dc, 1000000000, -3);
    RECT huge{-2000000000, -2000000000, 2000000000, 2000000000};
    DrawFocusRect(dc, &huge); // its border is far outside
    EXPECT_EQ(Inked().size(), static_cast<std::size_t>(kWidth + kHeight - 10));
}

TEST_F(GdiDraw, PenStylesAndWidths) {
    HPEN dot = CreatePen(PS_DOT, 1, kInk);
    HGDIOBJ old = SelectObject(dc, dot);
    SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 12, 0);
    // Three on, three off.
    std::string row;
    for (int x = 0; x < 13; ++x)
        row += At(x, 0) == kInk ? '#' : '.';
    EXPECT_EQ(row, "###...###....");
    // In OPAQUE mode the gaps take the background colour.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    MoveToEx(dc, 0, 2, nullptr);
    LineTo(dc, 6, 2);
    EXPECT_EQ(At(4, 2), RGB(0, 255, 0));

    HPEN wide = CreatePen(PS_SOLID, 3, kInk);
    SelectObject(dc, wide);
    MoveToEx(dc, 10, 20, nullptr);
    LineTo(dc, 20, 20);
    EXPECT_EQ(At(15, 19), kInk);
    EXPECT_EQ(At(15, 21), kInk);
    EXPECT_EQ(At(15, 22), kPaper);
    EXPECT_EQ(At(15, 18), kPaper);

    SelectObject(dc, GetStockObject(NULL_PEN));
    MoveToEx(dc, 0, 30, nullptr);
    LineTo(dc, 10, 30);
    EXPECT_EQ(At(5, 30), kPaper);
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(dot));
    EXPECT_TRUE(DeleteObject(wide));
}

TEST_F(GdiDraw, EdgesPutTheRightColourOnEachSide) {
    COLORREF light = GetSysColor(COLOR_3DLIGHT), hilight = GetSysColor(COLOR_3DHILIGHT);
    COLORREF shadow = GetSysColor(COLOR_3DSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
    RECT r{10, 10, 30, 20};
    EXPECT_TRUE(DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST));
    // Outer ring: light top and left, dark bottom and right (with those corners).
    EXPECT_EQ(At(15, 10), light);
    EXPECT_EQ(At(10, 15), light);
    EXPECT_EQ(At(15, 19), dark);
    EXPECT_EQ(At(29, 15), dark);
    EXPECT_EQ(At(29, 10), dark);
    EXPECT_EQ(At(10, 19), dark);
    // Inner ring: highlight and shadow.
    EXPECT_EQ(At(15, 11), hilight);
    EXPECT_EQ(At(11, 15), hilight);
    EXPECT_EQ(At(15, 18), shadow);
    EXPECT_EQ(At(28, 15), shadow);
    // Inside is untouched, and the rectangle now names it.
    EXPECT_EQ(At(15, 15), kPaper);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 12);
    EXPECT_EQ(r.right, 28);
    EXPECT_EQ(r.bottom, 18);

    RECT sunk{40, 10, 50, 20};
    DrawEdge(dc, &sunk, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(At(45, 10), shadow);
    EXPECT_EQ(At(45, 11), dark);
    EXPECT_EQ(At(45, 19), hilight);
    EXPECT_EQ(At(45, 18), light);
    EXPECT_EQ(At(45, 15), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(sunk.left, 40) << "no BF_ADJUST";

    // Etched: a shadow line with a highlight inside it.  Only the sides asked for.
    RECT etched{10, 30, 30, 40};
    DrawEdge(dc, &etched, EDGE_ETCHED, BF_TOP);
    EXPECT_EQ(At(20, 30), shadow);
    EXPECT_EQ(At(20, 31), hilight);
    EXPECT_EQ(At(10, 35), kPaper);
    EXPECT_EQ(At(20, 39), kPaper);

    RECT bump{40, 30, 50, 40};
    DrawEdge(dc, &bump, EDGE_BUMP, BF_LEFT);
    EXPECT_EQ(At(40, 35), light);
    EXPECT_EQ(At(41, 35), dark);
}

TEST_F(GdiDraw, FocusRectangleTwiceLeavesThePixelsAsTheyWere) {
    // A pattern underneath, so that inverting shows on every pixel.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            SetPixel(dc, x, y, RGB(x * 4, y * 5, (x * y) & 0xFF));
    std::vector<COLORREF> before = Pixels();
    RECT r{5, 6, 20, 15};
    DrawFocusRect(dc, &r);
    std::vector<COLORREF> once = Pixels();
    // Every other pixel of the border is inverted, nothing inside or outside it.
    int changed = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::size_t k = static_cast<std::size_t>(y) * kWidth + x;
            bool border =
                (x == 5 || x == 19 || y == 6 || y == 14) && x >= 5 && x < 20 && y >= 6 && y < 15;
            if (once[k] != before[k]) {
                ++changed;
                EXPECT_TRUE(border) << x << "," << y;
                EXPECT_EQ(once[k], before[k] ^ 0x00FFFFFFu);
                EXPECT_EQ((x + y) % 2, 0) << x << "," << y;
            }
        }
    // 15 + 15 + 7 + 7 border pixels, every other one.
    EXPECT_EQ(changed, 22);
    DrawFocusRect(dc, &r);
    EXPECT_EQ(Pixels(), before);
}

TEST_F(GdiDraw, BitBltCopiesBetweenMemoryDcs) {
    HDC src = CreateCompatibleDC(dc);
    HDC dst = CreateCompatibleDC(dc);
    HBITMAP a = CreateCompatibleBitmap(dc, 10, 10);
    HBITMAP b = win::CreateSurfaceBitmap(10, 10, kPaper);
    HGDIOBJ oldA = SelectObject(src, a);
    HGDIOBJ oldB = SelectObject(dst, b);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            SetPixel(src, x, y, RGB(x * 20, y * 20, 7));
    EXPECT_TRUE(BitBlt(dst, 1, 2, 3, 4, src, 5, 6, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool in = x >= 1 && x < 4 && y >= 2 && y < 6;
            COLORREF want = in ? RGB((x + 4) * 20, (y + 4) * 20, 7) : kPaper;
            EXPECT_EQ(GetPixel(dst, x, y), want) << x << "," << y;
        }
    // Off the source's edge nothing is copied.
    EXPECT_TRUE(BitBlt(dst, 8, 0, 2, 1, src, 9, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 8, 0), RGB(180, 0, 7));
    EXPECT_EQ(GetPixel(dst, 9, 0), kPaper);

    // Reselecting gives the bitmap back, with what was drawn.
    EXPECT_EQ(SelectObject(dst, oldB), b);
    EXPECT_EQ(SelectObject(dst, b), oldB);
    EXPECT_EQ(GetPixel(dst, 1, 2), RGB(100, 120, 7));

    // Into the surface, moved by the destination's origin.
    SetWindowOrgEx(dc, -20, -20, nullptr);
    BitBlt(dc, 0, 0, 2, 2, src, 0, 0, SRCCOPY);
    EXPECT_EQ(At(21, 21), RGB(20, 20, 7));
    SetWindowOrgEx(dc, 0, 0, nullptr);

    // Raster operations that need no source: a null source DC is fine.
    EXPECT_TRUE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(0, 0, 0));
    EXPECT_TRUE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(255, 255, 255));
    EXPECT_FALSE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));

    SelectObject(src, oldA);
    SelectObject(dst, oldB);
    EXPECT_TRUE(DeleteDC(src));
    EXPECT_TRUE(DeleteDC(dst));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
}

TEST_F(GdiDraw, BitBltWithinOneSurfaceReadsThePixelsBeforeTheCopy) {
    for (int x = 0; x < 8; ++x)
        SetPixel(dc, x, 0, RGB(x, 0, 0));
    BitBlt(dc, 1, 0, 7, 1, dc, 0, 0, SRCCOPY);
    for (int x = 1; x < 8; ++x)
        EXPECT_EQ(At(x, 0), RGB(x - 1, 0, 0)) << x;
}

TEST_F(GdiDraw, RasterOperationsCombinePatternSourceAndDestination) {
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0x0F, 0x55));
    HGDIOBJ old = SelectObject(dc, brush);
    SetPixel(dc, 0, 0, RGB(0x12, 0x34, 0x56));
    PatBlt(dc, 0, 0, 1, 1, PATINVERT);
    EXPECT_EQ(At(0, 0), RGB(0x12 ^ 0xF0, 0x34 ^ 0x0F, 0x56 ^ 0x55));
    PatBlt(dc, 0, 0, 1, 1, PATINVERT);
    EXPECT_EQ(At(0, 0), RGB(0x12, 0x34, 0x56));
    PatBlt(dc, 0, 0, 1, 1, DSTINVERT);
    EXPECT_EQ(At(0, 0), RGB(0xED, 0xCB, 0xA9));
    // A negative width reaches left of x.
    PatBlt(dc, 10, 5, -3, 2, PATCOPY);
    for (int x = 6; x <= 10; ++x)
        for (int y = 4; y <= 7; ++y) {
            bool in = x >= 7 && x < 10 && y >= 5 && y < 7;
            EXPECT_EQ(At(x, y), in ? RGB(0xF0, 0x0F, 0x55) : kPaper) << x << "," << y;
        }

    // Source operations: AND and OR with the pixels there.
    HDC src = CreateCompatibleDC(dc);
    HBITMAP one = win::CreateSurfaceBitmap(1, 1, RGB(0x0F, 0xF0, 0x33));
    HGDIOBJ oldBitmap = SelectObject(src, one);
    SetPixel(dc, 20, 20, RGB(0xFF, 0x0F, 0x11));
    BitBlt(dc, 20, 20, 1, 1, src, 0, 0, SRCAND);
    EXPECT_EQ(At(20, 20), RGB(0x0F, 0x00, 0x11));
    BitBlt(dc, 20, 20, 1, 1, src, 0, 0, SRCPAINT);
    EXPECT_EQ(At(20, 20), RGB(0x0F, 0xF0, 0x33));
    SelectObject(src, oldBitmap);
    EXPECT_TRUE(DeleteDC(src));
    EXPECT_TRUE(DeleteObject(one));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiDraw, MonochromeSourceTakesTheTextAndBackgroundColours) {
    const BYTE bits[] = {0x80, 0x00}; // white, black
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, mono);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    BitBlt(dc, 0, 0, 2, 1, src, 0, 0, SRCCOPY);
    EXPECT_EQ(At(0, 0), RGB(4, 5, 6));
    EXPECT_EQ(At(1, 0), RGB(1, 2, 3));
    SelectObject(src, old);
    EXPECT_TRUE(DeleteDC(src));
    EXPECT_TRUE(DeleteObject(mono));
}

TEST_F(GdiDraw, InvertRectTwiceRestores) {
    SetPixel(dc, 3, 3, RGB(1, 2, 3));
    RECT r{2, 2, 5, 5};
    InvertRect(dc, &r);
    EXPECT_EQ(At(3, 3), RGB(254, 253, 252));
    EXPECT_EQ(At(5, 5), kPaper);
    InvertRect(dc, &r);
    EXPECT_EQ(At(3, 3), RGB(1, 2, 3));
    EXPECT_EQ(At(2, 2), kPaper);
}

} // namespace
