#include "gdi_surface.h"

#include "win/gdi.h"

#include <gtest/gtest.h>

namespace {

using wintest::kInk;
using wintest::kPaper;

class GdiObjects : public wintest::Surface {};

TEST_F(GdiObjects, StockObjectsSurviveDeleteObject) {
    for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN,
                      DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr) << index;
        EXPECT_TRUE(DeleteObject(stock)) << index;
        EXPECT_EQ(GetStockObject(index), stock);
        EXPECT_NE(GetObjectType(stock), 0u) << index;
    }
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(9), nullptr);
    HBRUSH face = GetSysColorBrush(COLOR_3DFACE);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetSysColorBrush(COLOR_3DFACE), face);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(face, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_3DFACE));
}

TEST_F(GdiObjects, SelectedObjectsAreNotDeletedUntilDeselected) {
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HBRUSH brush = CreateSolidBrush(kInk);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH));

    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(brush));
    // Still usable: the rectangle is drawn with them.
    EXPECT_TRUE(Rectangle(dc, 0, 0, 4, 4));
    EXPECT_EQ(At(1, 1), kInk);

    EXPECT_EQ(SelectObject(dc, oldPen), pen);
    EXPECT_EQ(SelectObject(dc, oldBrush), brush);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    // A freed handle is gone for good: it is not handed out again.
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    HPEN next = CreatePen(PS_SOLID, 1, kInk);
    EXPECT_NE(next, pen);
    EXPECT_TRUE(DeleteObject(next));
}

TEST_F(GdiObjects, BitmapsGoOnlyIntoOneMemoryDc) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    ASSERT_NE(first, nullptr);
    HBITMAP picture = CreateCompatibleBitmap(dc, 8, 6);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(picture, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 6);
    EXPECT_EQ(info.bmBitsPixel, 32);

    // A fresh memory DC holds a 1 by 1 monochrome bitmap.
    HGDIOBJ original = GetCurrentObject(first, OBJ_BITMAP);
    ASSERT_EQ(GetObjectA(original, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);

    EXPECT_EQ(SelectObject(first, picture), original);
    EXPECT_EQ(SelectObject(second, picture), nullptr) << "already in another DC";
    EXPECT_EQ(SelectObject(dc, picture), nullptr) << "not a memory DC";
    EXPECT_FALSE(DeleteObject(picture));
    EXPECT_EQ(SelectObject(first, original), picture);
    EXPECT_NE(SelectObject(second, picture), nullptr);
    EXPECT_TRUE(DeleteDC(second)); // deleting the DC lets the bitmap go
    EXPECT_TRUE(DeleteObject(picture));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
}

TEST_F(GdiObjects, SurfaceBitmapStaysWhileItsDcLives) {
    EXPECT_FALSE(DeleteObject(bitmap));
    HDC another = win::CreateBitmapDC(bitmap);
    ASSERT_NE(another, nullptr);
    EXPECT_EQ(win::TargetBitmap(another), bitmap);
    EXPECT_TRUE(DeleteDC(another));
    EXPECT_FALSE(DeleteObject(bitmap)) << "the fixture's DC still draws into it";
    EXPECT_EQ(win::CreateSurfaceBitmap(0, 5, 0), nullptr);
    EXPECT_EQ(win::CreateBitmapDC(nullptr), nullptr);
}

TEST_F(GdiObjects, DeviceCapsTellDisplaysFromPrinters) {
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    HDC screen = win::ScreenDC();
    EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), win::kScreenWidth);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), win::kScreenHeight);
    EXPECT_FALSE(DeleteDC(screen)) << "the screen DC is never freed";
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);

    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetObjectType(memory), OBJ_MEMDC);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    EXPECT_TRUE(DeleteDC(memory));

    HBITMAP page = win::CreateSurfaceBitmap(850, 1100, RGB(255, 255, 255));
    HDC printer = win::CreatePrinterDC(page, 100);
    EXPECT_EQ(GetDeviceCaps(printer, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(printer, HORZRES), 850);
    EXPECT_EQ(GetDeviceCaps(printer, VERTRES), 1100);
    EXPECT_EQ(GetDeviceCaps(printer, LOGPIXELSY), 100);
    EXPECT_EQ(GetDeviceCaps(printer, HORZSIZE), 215); // 8.5 inches in millimetres
    EXPECT_TRUE(DeleteDC(printer));
    EXPECT_TRUE(DeleteObject(page));

    HDC spooled = CreateDCA("WINSPOOL", "Some Printer", nullptr, nullptr);
    ASSERT_NE(spooled, nullptr);
    EXPECT_EQ(GetDeviceCaps(spooled, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(spooled, HORZRES), 816);
    EXPECT_NE(SetPixel(spooled, 10, 10, kInk), CLR_INVALID);
    EXPECT_TRUE(DeleteDC(spooled)); // and its page with it
    HDC display = CreateDCA("display", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDeviceCaps(display, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_TRUE(DeleteDC(display));
}

TEST_F(GdiObjects, SaveAndRestoreBringBackTheState) {
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    SetTextColor(dc, RGB(1, 2, 3));
    int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    SelectObject(dc, pen);
    SetTextColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, TRANSPARENT);
    SetWindowOrgEx(dc, 5, 5, nullptr);
    IntersectClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(7, 8, 9));

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
    EXPECT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    POINT org{};
    GetWindowOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    RECT clip{};
    EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, kWidth);
    EXPECT_FALSE(RestoreDC(dc, -1)) << "nothing left to restore";
    EXPECT_TRUE(DeleteObject(pen)) << "no longer selected";
}

TEST_F(GdiObjects, RestoreDcSelectsTheSavedBitmapAgain) {
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP a = win::CreateSurfaceBitmap(2, 2, RGB(1, 1, 1));
    HBITMAP b = win::CreateSurfaceBitmap(2, 2, RGB(2, 2, 2));
    HGDIOBJ original = SelectObject(memory, a);
    SaveDC(memory);
    SelectObject(memory, b);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(2, 2, 2));
    EXPECT_TRUE(RestoreDC(memory, -1));
    EXPECT_EQ(GetCurrentObject(memory, OBJ_BITMAP), a);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(1, 1, 1));
    EXPECT_TRUE(DeleteObject(b)) << "b was let go";
    EXPECT_FALSE(DeleteObject(a));
    SelectObject(memory, original);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteDC(memory));
}

TEST_F(GdiObjects, RestoringAStateWhoseObjectsWereFreedFallsBackToTheDefaults) {
    HBRUSH brush = CreateSolidBrush(kInk);
    HGDIOBJ old = SelectObject(dc, brush);
    SaveDC(dc);
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

TEST_F(GdiObjects, MonochromeBitmapsKeepBlackAndWhite) {
    // Rows of 1 bpp bitmaps are padded to 16 bits; a set bit is white.
    const BYTE bits[] = {0xA0, 0x00, 0x40, 0x00};
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, bits);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, mono);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(255, 255, 255));
    // Drawing into it takes the nearer of black and white.
    SetPixel(memory, 0, 1, RGB(200, 180, 190));
    SetPixel(memory, 2, 1, RGB(60, 50, 40));
    EXPECT_EQ(GetPixel(memory, 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 2, 1), RGB(0, 0, 0));
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(mono));

    // 32 bpp rows are blue, green, red and a spare byte.
    const BYTE colour[] = {0x30, 0x20, 0x10, 0, 0xFF, 0, 0, 0};
    HBITMAP two = CreateBitmap(2, 1, 1, 32, colour);
    int cx, cy;
    std::vector<COLORREF> px;
    ASSERT_TRUE(win::ReadPixels(two, cx, cy, px));
    EXPECT_EQ(px[0], RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(px[1], RGB(0, 0, 0xFF));
    EXPECT_TRUE(DeleteObject(two));
    EXPECT_EQ(CreateBitmap(2, 2, 1, 8, nullptr), nullptr);
}

TEST(GdiSysColors, ClassicScheme) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_INFOTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
}

} // namespace
