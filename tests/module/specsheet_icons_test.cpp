#include "specsheet/icons.h"

#include "win/gdi.h"
#include "win/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

// A colour no icon uses, so that what an icon leaves alone shows.
constexpr COLORREF kBackground = RGB(255, 0, 254);

struct Drawn {
    int size = 0;
    std::vector<COLORREF> pixels; // kBackground where the icon is transparent
    std::vector<bool> opaque;
};

class SpecSheetIcons : public ::testing::Test {
protected:
    void SetUp() override {
        script.icons = ::SpecSheetIcons();
        win::AddResourceScript(module, &script);
    }
    void TearDown() override { win::RemoveResourceScript(&script); }

    // Loads the icon at a size through the resource chain and draws it on the background.
    Drawn Draw(UINT id, int size) {
        Drawn d;
        d.size = size;
        HANDLE loaded = LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_ICON, size, size, 0);
        EXPECT_NE(loaded, nullptr) << id << " at " << size;
        if (!loaded)
            return d;
        HICON icon = static_cast<HICON>(static_cast<void*>(loaded));
        HBITMAP surface = win::CreateSurfaceBitmap(size, size, kBackground);
        HDC dc = win::CreateBitmapDC(surface);
        EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
        int cx, cy;
        EXPECT_TRUE(win::ReadPixels(surface, cx, cy, d.pixels));
        EXPECT_EQ(cx, size);
        for (COLORREF c : d.pixels)
            d.opaque.push_back(c != kBackground);
        DeleteDC(dc);
        DeleteObject(surface);
        DestroyIcon(icon);
        return d;
    }

    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x51EE7000);
    win::ResourceScript script;
};

const std::vector<UINT> kIds = {SpecSheetIcon::kSetTextSizes, SpecSheetIcon::kMoveUp,
                                SpecSheetIcon::kMoveDown,     SpecSheetIcon::kRemove,
                                SpecSheetIcon::kRemoveHot,    SpecSheetIcon::kPreview};

TEST_F(SpecSheetIcons, EveryIconHasBothSizesDrawnInItsPalette) {
    std::set<UINT> ids;
    for (const win::IconResource& icon : script.icons) {
        ids.insert(icon.id);
        std::set<int> sizes;
        for (const win::IconImage& image : icon.images) {
            sizes.insert(image.width);
            EXPECT_EQ(image.width, image.height) << icon.id;
            ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(image.height)) << icon.id;
            std::set<char> palette;
            for (const auto& [c, colour] : image.palette) {
                EXPECT_NE(c, ' ');
                EXPECT_TRUE(palette.insert(c).second) << "'" << c << "' named twice";
            }
            for (const std::string& row : image.rows) {
                EXPECT_EQ(row.size(), static_cast<std::size_t>(image.width)) << icon.id;
                for (char c : row)
                    EXPECT_TRUE(c == ' ' || palette.count(c))
                        << icon.id << " at " << image.width << ": '" << c << "'";
            }
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 32})) << icon.id;
    }
    EXPECT_EQ(ids, std::set<UINT>(kIds.begin(), kIds.end()));
}

TEST_F(SpecSheetIcons, EachIconCoversAReasonableShareOfItsSquare) {
    for (UINT id : kIds)
        for (int size : {16, 32}) {
            Drawn d = Draw(id, size);
            double share = static_cast<double>(std::count(d.opaque.begin(), d.opaque.end(), true)) /
                           (size * size);
            EXPECT_GT(share, 0.15) << id << " at " << size;
            EXPECT_LT(share, 0.85) << id << " at " << size;
            // More than one colour: an outline or a second part, not a blot.
            std::set<COLORREF> colours(d.pixels.begin(), d.pixels.end());
            colours.erase(kBackground);
            EXPECT_GE(colours.size(), 2u) << id << " at " << size;
        }
}

TEST_F(SpecSheetIcons, HoveredRemoveIsTheSameShapeInRed) {
    for (int size : {16, 32}) {
        Drawn normal = Draw(SpecSheetIcon::kRemove, size);
        Drawn hot = Draw(SpecSheetIcon::kRemoveHot, size);
        EXPECT_EQ(normal.opaque, hot.opaque) << size;
        int differ = 0, opaque = 0, red = 0;
        for (std::size_t i = 0; i < normal.pixels.size(); ++i) {
            if (!normal.opaque[i])
                continue;
            ++opaque;
            differ += normal.pixels[i] != hot.pixels[i];
            red += hot.pixels[i] == RGB(255, 0, 0);
            // The normal cross is grey: no pixel of it has a hue.
            COLORREF c = normal.pixels[i];
            EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << c;
        }
        EXPECT_EQ(differ, opaque) << size;
        EXPECT_GT(red, opaque / 2) << size;
    }
}

TEST_F(SpecSheetIcons, UpAndDownAreMirrorImages) {
    for (int size : {16, 32}) {
        Drawn up = Draw(SpecSheetIcon::kMoveUp, size);
        Drawn down = Draw(SpecSheetIcon::kMoveDown, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(up.pixels[y * size + x], down.pixels[(size - 1 - y) * size + x])
                    << x << "," << y << " at " << size;
        // And the arrow of "up" is wider near the top: its head is there.
        auto width = [&](int y) {
            int n = 0;
            for (int x = 0; x < size; ++x)
                n += up.opaque[y * size + x];
            return n;
        };
        int widest = 0;
        for (int y = 1; y < size; ++y)
            if (width(y) > width(widest))
                widest = y;
        EXPECT_LT(widest, size / 2) << size;
    }
}

TEST_F(SpecSheetIcons, OtherSizesScaleTheNearestImage) {
    // The dialogs ask for 16 or 32; a 24 by 24 request scales the 32 by 32 image.
    Drawn scaled = Draw(SpecSheetIcon::kPreview, 24);
    Drawn big = Draw(SpecSheetIcon::kPreview, 32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            int sx = (x * 2 + 1) * 32 / 48, sy = (y * 2 + 1) * 32 / 48;
            ASSERT_EQ(scaled.pixels[y * 24 + x], big.pixels[sy * 32 + sx]) << x << "," << y;
        }
}

} // namespace
