#include "gdi_surface.h"

#include "win/gdi.h"
#include "win/resource.h"

#include <gtest/gtest.h>

namespace {

using wintest::kPaper;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A 4 by 4 image: a red ring with a blue centre pixel and a transparent corner.
win::IconImage Small() {
    return {4, 4, {{'r', kRed}, {'b', kBlue}}, {"rrr ", "rbrr", "rrrr", "rrrr"}};
}

// An 8 by 8 image: the top half red, the bottom half blue.
win::IconImage Large() {
    win::IconImage image{8, 8, {{'r', kRed}, {'b', kBlue}}, {}};
    for (int y = 0; y < 8; ++y)
        image.rows.push_back(std::string(8, y < 4 ? 'r' : 'b'));
    return image;
}

class GdiIcons : public wintest::Surface {
protected:
    void SetUp() override {
        Surface::SetUp();
        script.icons.push_back({201, {Small(), Large()}});
        script.icons.push_back({202, {Large()}});
        win::IconImage ragged = Small();
        ragged.rows[2] = "rr";
        script.icons.push_back({203, {ragged}});
        win::IconImage unknown = Small();
        unknown.rows[0] = "rrx ";
        script.icons.push_back({204, {unknown}});
        script.icons.push_back({205, {}});
        win::AddResourceScript(module, &script);
    }
    void TearDown() override {
        win::RemoveResourceScript(&script);
        Surface::TearDown();
    }
    HICON Load(UINT id, int cx, int cy, UINT flags = 0) {
        return static_cast<HICON>(
            static_cast<void*>(LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_ICON, cx, cy, flags)));
    }
    SIZE SizeOf(HICON icon) {
        ICONINFO info{};
        EXPECT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_TRUE(DeleteObject(info.hbmColor));
        EXPECT_TRUE(DeleteObject(info.hbmMask));
        return {bm.bmWidth, bm.bmHeight};
    }

    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x7E570000);
    win::ResourceScript script;
};

TEST_F(GdiIcons, LoadImageChoosesTheSize) {
    HICON exact = Load(201, 8, 8);
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(SizeOf(exact).cx, 8);
    // 0 by 0: the first image's size.
    HICON first = Load(201, 0, 0);
    EXPECT_EQ(SizeOf(first).cx, 4);
    // Another size scales the nearest image: 16 by 16 from the 8 by 8 one, each pixel 2 by 2.
    HICON scaled = Load(201, 16, 16);
    EXPECT_EQ(SizeOf(scaled).cy, 16);
    DrawIconEx(dc, 0, 0, scaled, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(At(0, 7), kRed);
    EXPECT_EQ(At(15, 8), kBlue);
    EXPECT_EQ(At(16, 8), kPaper);
    // LR_DEFAULTSIZE with 0 is the default icon size.
    HICON standard = Load(201, 0, 0, LR_DEFAULTSIZE);
    EXPECT_EQ(SizeOf(standard).cx, kDefaultIconSize);
    for (HICON icon : {exact, first, scaled, standard})
        EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(exact));
}

TEST_F(GdiIcons, MissingAndBrokenIconsAreRefused) {
    SetLastError(0);
    EXPECT_EQ(Load(999, 16, 16), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(Load(203, 4, 4), nullptr) << "a row shorter than the width";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(Load(204, 4, 4), nullptr) << "a colour the palette lacks";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(Load(205, 4, 4), nullptr) << "no image";
    EXPECT_EQ(LoadImageA(module, MAKEINTRESOURCE(201), IMAGE_BITMAP, 4, 4, 0), nullptr);
    // A name "#201" is the number.
    HANDLE named = LoadImageA(module, "#201", IMAGE_ICON, 4, 4, 0);
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(static_cast<void*>(named))));
    EXPECT_EQ(LoadImageA(module, "icon", IMAGE_ICON, 4, 4, 0), nullptr);
}

TEST_F(GdiIcons, SharedIconsAreOneHandleThatIsNeverFreed) {
    HICON a = LoadIconA(module, MAKEINTRESOURCE(202));
    HICON b = LoadIconA(module, MAKEINTRESOURCE(202));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(SizeOf(a).cx, kDefaultIconSize);
    EXPECT_TRUE(DestroyIcon(a));
    DrawIconEx(dc, 0, 0, a, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(At(0, 0), kRed) << "still usable";
}

TEST_F(GdiIcons, DrawIconExLeavesTransparentPixelsAlone) {
    HICON icon = Load(201, 4, 4);
    // At the window origin's shift.
    SetWindowOrgEx(dc, -10, -20, nullptr);
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    SetWindowOrgEx(dc, 0, 0, nullptr);
    EXPECT_EQ(At(10, 20), kRed);
    EXPECT_EQ(At(11, 21), kBlue);
    EXPECT_EQ(At(13, 20), kPaper) << "transparent";
    EXPECT_EQ(At(13, 21), kRed);
    EXPECT_EQ(At(14, 20), kPaper);

    // DI_IMAGE alone paints the transparent pixel black; DI_MASK alone blackens the opaque
    // ones and leaves the transparent one.
    DrawIconEx(dc, 30, 0, icon, 0, 0, 0, nullptr, DI_IMAGE);
    EXPECT_EQ(At(33, 0), RGB(0, 0, 0));
    EXPECT_EQ(At(31, 1), kBlue);
    DrawIconEx(dc, 40, 0, icon, 0, 0, 0, nullptr, DI_MASK);
    EXPECT_EQ(At(43, 0), kPaper);
    EXPECT_EQ(At(41, 1), RGB(0, 0, 0));
    // A flicker-free brush fills the icon's square first.
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    DrawIconEx(dc, 50, 0, icon, 0, 0, 0, green, DI_NORMAL);
    EXPECT_EQ(At(53, 0), RGB(0, 255, 0));
    EXPECT_TRUE(DeleteObject(green));

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    int cx, cy;
    std::vector<COLORREF> mask;
    ASSERT_TRUE(win::ReadPixels(info.hbmMask, cx, cy, mask));
    EXPECT_EQ(mask[3], RGB(255, 255, 255)) << "transparent";
    EXPECT_EQ(mask[0], RGB(0, 0, 0));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST_F(GdiIcons, DisabledStateEmbossesTheShapeInTwoColours) {
    HICON icon = Load(201, 8, 8);
    HICON small = Load(201, 4, 4);
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(small), 0, 20, 10, 0, 0,
                           DST_ICON | DSS_DISABLED));
    COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), shadow = GetSysColor(COLOR_3DSHADOW);
    // Shadow where the icon is opaque, highlight one pixel right and down where that is not
    // covered by the shadow, paper elsewhere.
    auto opaque = [](int x, int y) {
        return x >= 0 && y >= 0 && x < 4 && y < 4 && !(x == 3 && y == 0);
    };
    for (int y = 8; y < 16; ++y)
        for (int x = 18; x < 26; ++x) {
            int ix = x - 20, iy = y - 10;
            COLORREF want = opaque(ix, iy) ? shadow : opaque(ix - 1, iy - 1) ? hilight : kPaper;
            EXPECT_EQ(At(x, y), want) << x << "," << y;
        }

    // Normal state draws the icon; a box smaller than the icon cuts it.
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 40, 10, 8, 3,
               DST_ICON | DSS_NORMAL);
    EXPECT_EQ(At(40, 12), kRed);
    EXPECT_EQ(At(40, 13), kPaper);
    // DSS_MONO: the shape in the brush's colour.
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    DrawStateA(dc, green, nullptr, reinterpret_cast<LPARAM>(small), 0, 50, 30, 0, 0,
               DST_ICON | DSS_MONO);
    EXPECT_EQ(At(51, 31), RGB(0, 255, 0));
    EXPECT_EQ(At(53, 30), kPaper);
    EXPECT_TRUE(DeleteObject(green));
    EXPECT_FALSE(DrawStateA(dc, nullptr, nullptr, 0, 0, 0, 0, 0, 0, DST_COMPLEX));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_TRUE(DestroyIcon(small));
}

TEST_F(GdiIcons, DrawStateBoxesCutAndAlignText) {
    HFONT font = win::CreateDialogFont("MS Shell Dlg", 8);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    SIZE extent{};
    GetTextExtentPoint32A(dc, "Preview", 7, &extent);
    // Right-aligned in a box wider than the text: it ends at the box's right edge.
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Preview"), 0, 0, 2, 60, 0,
               DST_TEXT | DSS_RIGHT);
    RECT ink = InkBounds();
    EXPECT_GE(ink.left, 60 - extent.cx);
    EXPECT_LE(ink.right, 60);
    EXPECT_GE(ink.right, 58);
    // A box narrower than the text cuts it, disabled or not (the highlight may reach one
    // pixel further).
    RECT all{0, 0, kWidth, kHeight};
    HBRUSH paper = CreateSolidBrush(kPaper);
    FillRect(dc, &all, paper);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Preview"), 3, 10, 20, 12, 0,
               DST_TEXT | DSS_NORMAL);
    EXPECT_LE(InkBounds().right, 22) << "three characters given, cut at 12 pixels";
    FillRect(dc, &all, paper);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Preview"), 0, 10, 20, 12, 0,
               DST_TEXT | DSS_DISABLED);
    EXPECT_LE(InkBounds().right, 23);
    EXPECT_GE(InkBounds().right, 21);
    EXPECT_TRUE(DeleteObject(paper));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(GdiIcons, DisabledTextIsEmbossedToo) {
    HFONT font = win::CreateDialogFont("MS Shell Dlg", 8);
    HGDIOBJ old = SelectObject(dc, font);
    const char* text = "&Remove";
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, 5, 5, 0, 0,
                           DST_PREFIXTEXT | DSS_DISABLED));
    COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), shadow = GetSysColor(COLOR_3DSHADOW);
    int shadows = 0;
    for (COLORREF c : Pixels()) {
        EXPECT_TRUE(c == kPaper || c == hilight || c == shadow) << c;
        shadows += c == shadow;
    }
    EXPECT_GT(shadows, 20);

    // In place, the shadow pixels are exactly the text's normal pixels.
    std::set<std::pair<int, int>> shadowed;
    std::vector<COLORREF> px = Pixels();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (px[static_cast<std::size_t>(y) * kWidth + x] == shadow)
                shadowed.insert({x, y});
    RECT all{0, 0, kWidth, kHeight};
    HBRUSH paper = CreateSolidBrush(kPaper);
    FillRect(dc, &all, paper);
    EXPECT_TRUE(DeleteObject(paper));
    SetTextColor(dc, RGB(1, 1, 1));
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, 5, 5, 0, 0,
               DST_PREFIXTEXT | DSS_NORMAL);
    EXPECT_EQ(Inked(), shadowed);
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
}

} // namespace
