#include "gdi_surface.h"

#include "win/gdi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using wintest::kInk;
using wintest::kPaper;

class GdiText : public wintest::Surface {
protected:
    void SetUp() override {
        Surface::SetUp();
        font = win::CreateDialogFont("MS Shell Dlg", 8);
        ASSERT_NE(font, nullptr);
        oldFont = SelectObject(dc, font);
        SetTextColor(dc, kInk);
        SetBkMode(dc, TRANSPARENT);
    }
    void TearDown() override {
        SelectObject(dc, oldFont);
        EXPECT_TRUE(DeleteObject(font));
        Surface::TearDown();
    }
    void Clear() {
        RECT all{0, 0, kWidth, kHeight};
        HBRUSH paper = CreateSolidBrush(kPaper);
        FillRect(dc, &all, paper);
        DeleteObject(paper);
    }
    // Columns that hold ink in a row.
    std::vector<int> InkedColumns(int y) const {
        std::vector<int> columns;
        for (auto [x, row] : Inked())
            if (row == y)
                columns.push_back(x);
        return columns;
    }
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
};

TEST_F(GdiText, DialogFontMetrics) {
    EXPECT_EQ(win::PointSizeToHeight(8), -11);
    EXPECT_EQ(win::PointSizeToHeight(10), -13);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_GE(tm.tmHeight, 11);
    EXPECT_LE(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11) << "the em is 11 pixels";
    EXPECT_GE(tm.tmAveCharWidth, 4);
    EXPECT_LE(tm.tmAveCharWidth, 7);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    char face[LF_FACESIZE];
    EXPECT_EQ(GetTextFaceA(dc, sizeof face, face), 12);
    EXPECT_STREQ(face, "MS Shell Dlg");

    // The dialog base unit across is the average width of the alphabet, rounded, as Windows
    // computes it; a sans font at 8 points gives 5 to 7 pixels.
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, alphabet, 52, &size));
    EXPECT_EQ(size.cy, tm.tmHeight);
    int baseX = (size.cx / 26 + 1) / 2;
    EXPECT_GE(baseX, 5);
    EXPECT_LE(baseX, 7);

    // MS Sans Serif is the same face as MS Shell Dlg; the bold one is wider.
    HFONT sans = win::CreateDialogFont("MS Sans Serif", 8);
    HFONT bold = win::CreateDialogFont("MS Sans Serif", 8, FW_BOLD);
    SIZE sansSize{}, boldSize{};
    SelectObject(dc, sans);
    GetTextExtentPoint32A(dc, alphabet, 52, &sansSize);
    SelectObject(dc, bold);
    GetTextExtentPoint32A(dc, alphabet, 52, &boldSize);
    SelectObject(dc, font);
    EXPECT_EQ(sansSize.cx, size.cx);
    EXPECT_GT(boldSize.cx, size.cx);
    EXPECT_TRUE(DeleteObject(sans));
    EXPECT_TRUE(DeleteObject(bold));

    // A larger font measures larger, proportionally.
    HFONT big = CreateFontA(-22, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(dc, big);
    SIZE bigSize{};
    GetTextExtentPoint32A(dc, alphabet, 52, &bigSize);
    SelectObject(dc, font);
    EXPECT_NEAR(bigSize.cx, 2 * size.cx, size.cx / 10);
    EXPECT_TRUE(DeleteObject(big));
}

TEST_F(GdiText, DrawnPixelsLieInsideTheCalculatedRectangle) {
    for (const char* text : {"Sizes", "gjpqy|", "Wq", "Text sizes...\nline two", "A"}) {
        Clear();
        RECT calc{5, 4, 60, 40};
        int height = DrawTextA(dc, text, -1, &calc, DT_CALCRECT | DT_NOPREFIX);
        EXPECT_EQ(height, calc.bottom - calc.top) << text;
        EXPECT_EQ(Inked().size(), 0u) << "DT_CALCRECT draws nothing";
        RECT draw = calc;
        DrawTextA(dc, text, -1, &draw, DT_NOPREFIX | DT_NOCLIP);
        RECT ink = InkBounds();
        ASSERT_GT(ink.right, ink.left) << text;
        EXPECT_GE(ink.left, calc.left) << text;
        EXPECT_GE(ink.top, calc.top) << text;
        EXPECT_LE(ink.right, calc.right) << text;
        EXPECT_LE(ink.bottom, calc.bottom) << text;
        SIZE extent{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strcspn(text, "\n")), &extent);
        EXPECT_LE(extent.cx, calc.right - calc.left) << text;
    }
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT two{0, 0, 60, 0};
    EXPECT_EQ(DrawTextA(dc, "one\r\ntwo", -1, &two, DT_CALCRECT), 2 * tm.tmHeight);
    RECT single{0, 0, 60, 0};
    EXPECT_EQ(DrawTextA(dc, "one\r\ntwo", -1, &single, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
}

TEST_F(GdiText, CentredAndRightAlignedText) {
    RECT box{4, 10, 60, 30};
    DrawTextA(dc, "Preview", -1, &box, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    RECT ink = InkBounds();
    int left = ink.left - box.left, right = box.right - ink.right;
    EXPECT_LE(std::abs(left - right), 2) << left << " / " << right;
    int top = ink.top - box.top, bottom = box.bottom - ink.bottom;
    EXPECT_LE(std::abs(top - bottom), 3) << top << " / " << bottom;
    // The cell, not the ink, is centred: it is within one pixel of the middle.
    SIZE extent{};
    GetTextExtentPoint32A(dc, "Preview", 7, &extent);
    RECT calc{0, 0, 100, 100};
    DrawTextA(dc, "Preview", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, extent.cx);

    Clear();
    DrawTextA(dc, "Right", -1, &box, DT_RIGHT | DT_SINGLELINE | DT_BOTTOM);
    ink = InkBounds();
    EXPECT_LE(ink.right, box.right);
    EXPECT_GE(ink.right, box.right - 2);
    EXPECT_LE(ink.bottom, box.bottom);
    EXPECT_GE(ink.top, box.bottom - extent.cy);
}

TEST_F(GdiText, PrefixUnderlinesTheNextCharacter) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT r{2, 2, 60, 20};
    DrawTextA(dc, "&File", -1, &r, DT_SINGLELINE);
    SIZE f{}, file{};
    GetTextExtentPoint32A(dc, "F", 1, &f);
    GetTextExtentPoint32A(dc, "File", 4, &file);
    // The underline is a row below the baseline, under the F only.
    int baseline = r.top + tm.tmAscent;
    int row = -1;
    for (int y = baseline; y < r.top + tm.tmHeight && row < 0; ++y)
        if (!InkedColumns(y).empty())
            row = y;
    ASSERT_GE(row, baseline) << "no underline";
    std::vector<int> expected;
    for (int x = r.left; x < r.left + f.cx; ++x)
        expected.push_back(x);
    EXPECT_EQ(InkedColumns(row), expected);

    // Without the prefix nothing is below the baseline (no letter of "File" descends).
    Clear();
    DrawTextA(dc, "File", -1, &r, DT_SINGLELINE);
    for (int y = baseline; y < r.top + tm.tmHeight; ++y)
        EXPECT_TRUE(InkedColumns(y).empty()) << y;
    RECT plain = InkBounds();

    // "&&" is one ampersand, underlining nothing; DT_NOPREFIX shows the "&".
    Clear();
    DrawTextA(dc, "A&&B", -1, &r, DT_SINGLELINE);
    std::vector<COLORREF> doubled = Pixels();
    Clear();
    DrawTextA(dc, "A&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(Pixels(), doubled);
    RECT calc{0, 0, 100, 100};
    DrawTextA(dc, "&File", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, file.cx) << "the prefix takes no room";

    // DT_HIDEPREFIX keeps the letters and drops the line.
    Clear();
    DrawTextA(dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_TRUE(InkedColumns(row).empty());
    EXPECT_EQ(InkBounds().right, plain.right);
}

TEST_F(GdiText, SameTextDrawsTheSamePixels) {
    RECT r{1, 1, 63, 47};
    DrawTextA(dc, "Remove item\nMove up", -1, &r, DT_CENTER);
    std::vector<COLORREF> first = Pixels();
    Clear();
    HFONT other = win::CreateDialogFont("MS Shell Dlg", 8);
    SelectObject(dc, other);
    DrawTextA(dc, "Remove item\nMove up", -1, &r, DT_CENTER);
    SelectObject(dc, font);
    EXPECT_TRUE(DeleteObject(other));
    EXPECT_EQ(Pixels(), first);
    // The dialog font draws one-bit glyphs: every pixel is the text colour or untouched.
    for (COLORREF c : first)
        EXPECT_TRUE(c == kInk || c == kPaper) << c;
}

TEST_F(GdiText, AntialiasedFontsMixTheTextColourIntoThePaper) {
    LOGFONTA lf{};
    lf.lfHeight = -15;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT smooth = CreateFontIndirectA(&lf);
    SelectObject(dc, smooth);
    TextOutA(dc, 2, 2, "Swirl", 5);
    SelectObject(dc, font);
    EXPECT_TRUE(DeleteObject(smooth));
    // Each channel of a mixed pixel lies between text and paper; some pixels are mixed and
    // some are the text colour itself.
    auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
    int solid = 0, mixed = 0;
    for (COLORREF c : Pixels()) {
        EXPECT_TRUE(between(GetRValue(c), GetRValue(kInk), GetRValue(kPaper)) &&
                    between(GetGValue(c), GetGValue(kInk), GetGValue(kPaper)) &&
                    between(GetBValue(c), GetBValue(kInk), GetBValue(kPaper)))
            << c;
        solid += c == kInk;
        mixed += c != kInk && c != kPaper;
    }
    EXPECT_GT(solid, 10);
    EXPECT_GT(mixed, 10);
}

TEST_F(GdiText, OpaqueModeFillsTheCellWithTheBackground) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "ab", 2, &extent);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    TextOutA(dc, 10, 5, "ab", 2);
    RECT ink = InkBounds();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 10 + extent.cx);
    EXPECT_EQ(ink.bottom, 5 + tm.tmHeight);
    EXPECT_EQ(At(10, 5), RGB(0, 255, 0));

    // TA_BASELINE puts the baseline at y; TA_RIGHT ends the text at x.
    Clear();
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
    TextOutA(dc, 50, 30, "H", 1);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    ink = InkBounds();
    EXPECT_EQ(ink.bottom, 30);
    EXPECT_LE(ink.right, 50);
    EXPECT_GE(ink.right, 48);
}

TEST_F(GdiText, WordBreakKeepsLinesInsideTheWidth) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT r{2, 2, 50, 40};
    RECT calc = r;
    int height = DrawTextA(dc, "Move the item up one", -1, &calc, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(height, 2 * tm.tmHeight);
    EXPECT_LE(calc.right, r.right);
    DrawTextA(dc, "Move the item up one", -1, &r, DT_WORDBREAK);
    RECT ink = InkBounds();
    EXPECT_LE(ink.right, r.right);
    EXPECT_GT(ink.bottom, r.top + tm.tmHeight) << "more than one line";

    // A word wider than the box stands alone and widens the calculated rectangle.
    RECT narrow{0, 0, 10, 0};
    DrawTextA(dc, "Preferences ok", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
    SIZE word{};
    GetTextExtentPoint32A(dc, "Preferences", 11, &word);
    EXPECT_EQ(narrow.right, word.cx);
    EXPECT_EQ(narrow.bottom, 2 * tm.tmHeight);

    // Without DT_NOCLIP nothing is drawn outside the rectangle.
    Clear();
    RECT tiny{10, 10, 20, 14};
    DrawTextA(dc, "Clipped text", -1, &tiny, DT_SINGLELINE);
    ink = InkBounds();
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 20);
    EXPECT_LE(ink.bottom, 14);
}

TEST_F(GdiText, Utf8AndUnderlinedFonts) {
    SIZE one{}, plain{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "\xC3\xA9", 2, &one)); // é, one character
    GetTextExtentPoint32A(dc, "e", 1, &plain);
    EXPECT_EQ(one.cx, plain.cx);

    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfUnderline = TRUE;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT underlined = CreateFontIndirectA(&lf);
    SelectObject(dc, underlined);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    EXPECT_TRUE(tm.tmUnderlined);
    TextOutA(dc, 5, 5, "ooo", 3);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "ooo", 3, &extent);
    SelectObject(dc, font);
    EXPECT_TRUE(DeleteObject(underlined));
    // One row below the baseline is ink all the way across.
    bool found = false;
    for (int y = 5 + tm.tmAscent; y < 5 + tm.tmHeight; ++y)
        found = found || InkedColumns(y).size() == static_cast<std::size_t>(extent.cx);
    EXPECT_TRUE(found);
}

} // namespace
