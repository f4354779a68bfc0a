#include "gdi_surface.h"

#include "win/afxgdi.h"
#include "win/resource.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using wintest::kInk;
using wintest::kPaper;

class GdiFramework : public wintest::Surface {
protected:
    void TearDown() override {
        win::DeleteTempGdiObjects();
        Surface::TearDown();
    }
};

TEST_F(GdiFramework, SelectObjectAnswersThePreviousObjectAsItsClass) {
    CDC* cdc = CDC::FromHandle(dc);
    ASSERT_NE(cdc, nullptr);
    EXPECT_EQ(cdc, CDC::FromHandle(dc)) << "one temporary object per handle";
    EXPECT_EQ(cdc->GetSafeHdc(), dc);

    CPen pen(PS_SOLID, 1, kInk);
    CBrush brush(kInk);
    CPen* oldPen = cdc->SelectObject(&pen);
    ASSERT_NE(oldPen, nullptr);
    EXPECT_EQ(oldPen->m_hObject, GetStockObject(BLACK_PEN));
    CBrush* oldBrush = cdc->SelectObject(&brush);
    EXPECT_EQ(static_cast<HBRUSH>(*oldBrush), GetStockObject(WHITE_BRUSH));
    // Selecting back answers the object that owns the handle, not a stand-in.
    EXPECT_EQ(cdc->SelectObject(oldPen), &pen);
    EXPECT_EQ(cdc->SelectObject(oldBrush), &brush);
    EXPECT_EQ(cdc->GetCurrentPen(), oldPen);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "MS Shell Dlg"));
    LOGFONT lf{};
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -11);
    CFont* oldFont = cdc->SelectObject(&font);
    EXPECT_EQ(cdc->GetCurrentFont(), &font);
    cdc->SelectObject(oldFont);
    CGdiObject* stock = cdc->SelectStockObject(NULL_BRUSH);
    EXPECT_EQ(stock->m_hObject, GetStockObject(WHITE_BRUSH));
    cdc->SelectObject(stock);
}

TEST_F(GdiFramework, TemporaryObjectsAndOwnedDcsAreFreed) {
    std::size_t before = win::GdiObjectCount();
    {
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(CDC::FromHandle(dc)));
        CBitmap picture;
        ASSERT_TRUE(picture.CreateCompatibleBitmap(CDC::FromHandle(dc), 4, 4));
        CBitmap* old = memory.SelectObject(&picture);
        ASSERT_NE(old, nullptr);
        memory.FillSolidRect(0, 0, 4, 4, kInk);
        EXPECT_EQ(memory.GetPixel(3, 3), kInk);
        memory.SelectObject(old);
        EXPECT_EQ(win::GdiObjectCount(), before + 2);
    } // the DC and the bitmap go with their objects
    EXPECT_EQ(win::GdiObjectCount(), before);

    // Temporary objects of freed handles go with the handles.
    HBRUSH raw = CreateSolidBrush(kInk);
    CBrush* wrapper = CBrush::FromHandle(raw);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(CPen::FromHandle(reinterpret_cast<HPEN>(raw)), nullptr) << "not a pen";
    EXPECT_TRUE(DeleteObject(raw));
    EXPECT_EQ(CBrush::FromHandle(raw), nullptr);
    // A temporary object does not own its handle.
    HPEN kept = CreatePen(PS_SOLID, 1, kInk);
    CPen::FromHandle(kept);
    win::DeleteTempGdiObjects();
    EXPECT_EQ(GetObjectType(kept), OBJ_PEN);
    EXPECT_TRUE(DeleteObject(kept));

    // Detach gives the handle back to the caller.
    CDC detached;
    ASSERT_TRUE(detached.CreateCompatibleDC(nullptr));
    HDC handle = detached.Detach();
    EXPECT_EQ(detached.GetSafeHdc(), nullptr);
    EXPECT_TRUE(DeleteDC(handle));

    // Objects of other threads are their own; the thread's temporary objects end with it.
    CDC* mine = CDC::FromHandle(dc);
    std::thread([&] {
        CDC* other = CDC::FromHandle(dc);
        EXPECT_NE(other, nullptr);
        EXPECT_NE(other, mine);
    }).join();
    EXPECT_EQ(win::GdiObjectCount(), before);
}

TEST_F(GdiFramework, Draw3dRectAndFillSolidRect) {
    CDC* cdc = CDC::FromHandle(dc);
    const COLORREF tl = RGB(255, 0, 0), br = RGB(0, 0, 255);
    cdc->Draw3dRect(CRect(10, 10, 20, 16), tl, br);
    EXPECT_EQ(At(10, 10), tl);
    EXPECT_EQ(At(18, 10), tl);
    EXPECT_EQ(At(19, 10), br) << "the top-right corner belongs to the right side";
    EXPECT_EQ(At(10, 14), tl);
    EXPECT_EQ(At(10, 15), br) << "the bottom-left corner belongs to the bottom side";
    EXPECT_EQ(At(19, 15), br);
    EXPECT_EQ(At(15, 13), kPaper);
    EXPECT_EQ(At(20, 10), kPaper);
    EXPECT_EQ(At(15, 16), kPaper);

    cdc->FillSolidRect(CRect(30, 30, 33, 32), RGB(1, 2, 3));
    EXPECT_EQ(At(30, 30), RGB(1, 2, 3));
    EXPECT_EQ(At(32, 31), RGB(1, 2, 3));
    EXPECT_EQ(At(33, 31), kPaper);
    EXPECT_EQ(cdc->GetBkColor(), RGB(1, 2, 3)) << "left set to the fill colour";

    CBrush brush(kInk);
    CRect frame(40, 40, 44, 44);
    cdc->FrameRect(frame, &brush);
    EXPECT_EQ(At(43, 43), kInk);
    EXPECT_EQ(At(41, 41), kPaper);
    cdc->FillRect(frame, &brush);
    EXPECT_EQ(At(41, 41), kInk);

    // Lines and origins through the class.
    CPen pen(PS_SOLID, 1, kInk);
    CPen* old = cdc->SelectObject(&pen);
    CPoint was = cdc->SetWindowOrg(-50, -2);
    EXPECT_EQ(was, CPoint(0, 0));
    EXPECT_EQ(cdc->GetWindowOrg(), CPoint(-50, -2));
    cdc->MoveTo(0, 0);
    cdc->LineTo(5, 0);
    cdc->SetWindowOrg(0, 0);
    cdc->SelectObject(old);
    EXPECT_EQ(At(50, 2), kInk);
    EXPECT_EQ(At(54, 2), kInk);
    EXPECT_EQ(At(55, 2), kPaper);
}

TEST_F(GdiFramework, PrinterDcsArePrinting) {
    CDC printer;
    ASSERT_TRUE(printer.CreateDC("WINSPOOL", "Office Printer", nullptr, nullptr));
    EXPECT_TRUE(printer.IsPrinting());
    EXPECT_EQ(printer.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_FALSE(CDC::FromHandle(dc)->IsPrinting());
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&printer));
    EXPECT_FALSE(memory.IsPrinting());
}

TEST_F(GdiFramework, TextThroughTheClass) {
    CDC* cdc = CDC::FromHandle(dc);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
    CFont* old = cdc->SelectObject(&font);
    TEXTMETRIC tm{};
    ASSERT_TRUE(cdc->GetTextMetrics(&tm));
    CSize extent = cdc->GetTextExtent(std::string("Sizes"));
    EXPECT_EQ(extent.cy, tm.tmHeight);
    EXPECT_EQ(extent, cdc->GetTextExtent("Sizes", 5));
    std::string face;
    cdc->GetTextFace(face);
    EXPECT_EQ(face, "MS Sans Serif");

    cdc->SetTextColor(kInk);
    cdc->SetBkMode(TRANSPARENT);
    CRect box(0, 0, 64, 20);
    CRect calc = box;
    int height = cdc->DrawText(std::string("Sizes"), calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, tm.tmHeight);
    EXPECT_EQ(calc.Width(), extent.cx);
    cdc->DrawText("Sizes", -1, box, DT_SINGLELINE);
    RECT ink = InkBounds();
    EXPECT_LE(ink.right, extent.cx);

    // DrawState with text: disabled gives the two emboss colours only.
    cdc->DrawState(CPoint(0, 25), CSize(0, 0), "Remove", DSS_DISABLED, FALSE);
    std::vector<COLORREF> px = Pixels();
    COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), shadow = GetSysColor(COLOR_3DSHADOW);
    int embossed = 0;
    for (int y = 25; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            COLORREF c = px[static_cast<std::size_t>(y) * kWidth + x];
            EXPECT_TRUE(c == kPaper || c == hilight || c == shadow) << x << "," << y;
            embossed += c != kPaper;
        }
    EXPECT_GT(embossed, 20);
    cdc->SelectObject(old);
}

TEST_F(GdiFramework, DrawStateOfAnIcon) {
    win::ResourceScript script;
    script.icons.push_back({301, {{2, 2, {{'k', RGB(0, 0, 0)}}, {"k ", " k"}}}});
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x7E580000);
    win::AddResourceScript(module, &script);
    HICON icon = static_cast<HICON>(
        static_cast<void*>(LoadImageA(module, MAKEINTRESOURCE(301), IMAGE_ICON, 0, 0, 0)));
    win::RemoveResourceScript(&script);
    ASSERT_NE(icon, nullptr);
    CDC* cdc = CDC::FromHandle(dc);
    EXPECT_TRUE(cdc->DrawState(CPoint(4, 4), CSize(0, 0), icon, DSS_NORMAL));
    EXPECT_EQ(At(4, 4), RGB(0, 0, 0));
    EXPECT_EQ(At(5, 4), kPaper);
    EXPECT_TRUE(cdc->DrawState(CPoint(10, 4), CSize(0, 0), icon, DSS_DISABLED, (HBRUSH) nullptr));
    EXPECT_EQ(At(10, 4), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(At(11, 5), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(At(12, 6), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(At(11, 4), kPaper);
    EXPECT_TRUE(DestroyIcon(icon));
}

} // namespace
