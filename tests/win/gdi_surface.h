// A fixture for drawing tests: a surface bitmap with a bitmap DC on it, the pixels read back,
// and a check at the end that the test freed every GDI object it made.
#pragma once

#include "win/gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace wintest {

inline constexpr COLORREF kPaper = RGB(250, 240, 230);
inline constexpr COLORREF kInk = RGB(10, 20, 200);

class Surface : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        objectsBefore = win::GdiObjectCount();
        bitmap = win::CreateSurfaceBitmap(kWidth, kHeight, kPaper);
        ASSERT_NE(bitmap, nullptr);
        dc = win::CreateBitmapDC(bitmap);
        ASSERT_NE(dc, nullptr);
    }

    void TearDown() override {
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_TRUE(DeleteObject(bitmap));
        EXPECT_EQ(win::GdiObjectCount(), objectsBefore) << "a GDI object leaked";
    }

    // The surface's pixels as they are now.
    std::vector<COLORREF> Pixels() const {
        int cx = 0, cy = 0;
        std::vector<COLORREF> pixels;
        EXPECT_TRUE(win::ReadPixels(bitmap, cx, cy, pixels));
        return pixels;
    }
    COLORREF At(int x, int y) const { return Pixels()[static_cast<std::size_t>(y) * kWidth + x]; }

    // The pixels that are not the paper colour.
    std::set<std::pair<int, int>> Inked() const {
        std::set<std::pair<int, int>> inked;
        std::vector<COLORREF> px = Pixels();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (px[static_cast<std::size_t>(y) * kWidth + x] != kPaper)
                    inked.insert({x, y});
        return inked;
    }
    // How many pixels of a row are not the paper colour.
    int InkInRow(int y) const {
        int n = 0;
        for (auto [x, row] : Inked())
            n += row == y;
        return n;
    }
    // The smallest rectangle holding every inked pixel (empty when there is none).
    RECT InkBounds() const {
        RECT r{kWidth, kHeight, 0, 0};
        for (auto [x, y] : Inked()) {
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
        if (r.right <= r.left)
            r = {0, 0, 0, 0};
        return r;
    }
    // "" when every pixel of the area has the colour and every other pixel the other one; else
    // the first pixel that differs.
    std::string Mismatch(const RECT& area, COLORREF expected, COLORREF otherwise) const {
        std::vector<COLORREF> px = Pixels();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                COLORREF want = in ? expected : otherwise;
                COLORREF got = px[static_cast<std::size_t>(y) * kWidth + x];
                if (got != want)
                    return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                           std::to_string(got) + ", expected " + std::to_string(want);
            }
        return "";
    }

    std::size_t objectsBefore = 0;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
};

} // namespace wintest
