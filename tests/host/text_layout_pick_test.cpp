// Picking MText by a point: inside a line's box, beside a short line, between lines, with a
// tolerance, with other attachment points and a turned direction.
#include "text/mtextpick.h"

#include <gtest/gtest.h>

using namespace cadhost::text;

namespace {

constexpr double kPitch = 5.0 / 3.0;

TEST(MTextPick, PointsOnAndBesideTheLines) {
    MTextLayout layout = LayOutMText("Hi\\Pa longer line\\P\\Plast", 1.0, 0.0);
    ASSERT_EQ(layout.lines.size(), 4u);
    MTextPlacement at;
    at.location = {10, 10, 0};
    const double shortRight = layout.lines[0].right;
    const double longRight = layout.lines[1].right;
    ASSERT_LT(shortRight + 1.0, longRight);

    auto hit = [&](double x, double y, double tolerance = 0.0) {
        return MTextContainsPoint(layout, at, {10 + x, 10 + y, 0}, tolerance);
    };
    EXPECT_TRUE(hit(shortRight / 2, -0.5));
    EXPECT_FALSE(hit(shortRight + 0.5, -0.5));            // right of the short first line
    EXPECT_TRUE(hit(shortRight + 0.5, -kPitch - 0.5));    // the same x on the long line
    EXPECT_TRUE(hit(shortRight / 2, -kPitch + 0.2));      // the gap below a line is its own
    EXPECT_FALSE(hit(shortRight / 2, -2 * kPitch - 0.5)); // the empty third line
    EXPECT_TRUE(hit(0.1, -3 * kPitch - 1.2));             // descenders of the last line
    EXPECT_FALSE(hit(0.1, -3 * kPitch - 1.5));
    EXPECT_FALSE(hit(-0.05, -0.5));
    EXPECT_TRUE(hit(-0.05, -0.5, 0.1));
    EXPECT_FALSE(hit(shortRight / 2, 0.05));
    EXPECT_TRUE(hit(shortRight / 2, 0.05, 0.1));
    // A point off the text's plane counts as seen along the normal.
    EXPECT_TRUE(MTextContainsPoint(layout, at, {10 + shortRight / 2, 9.5, 7.0}, 0.0));
    // Nothing to show, nothing to pick.
    EXPECT_FALSE(MTextContainsPoint(LayOutMText("", 1.0, 0.0), at, at.location, 1.0));
}

TEST(MTextPick, AttachmentPointAndDirection) {
    MTextLayout layout = LayOutMText("Hello", 1.0, 0.0);
    const double w = layout.width;

    MTextPlacement bottomRight;
    bottomRight.location = {0, 0, 0};
    bottomRight.attachment = 9; // the location is the bottom right of the text
    EXPECT_TRUE(MTextContainsPoint(layout, bottomRight, {-0.1, 0.1, 0}, 0.0));
    EXPECT_TRUE(MTextContainsPoint(layout, bottomRight, {-w + 0.1, 0.9, 0}, 0.0));
    EXPECT_FALSE(MTextContainsPoint(layout, bottomRight, {0.2, 0.1, 0}, 0.0));

    MTextPlacement middleCentre;
    middleCentre.attachment = 5;
    middleCentre.width = 10.0; // centred in the entity's width, not in the text's
    EXPECT_TRUE(MTextContainsPoint(layout, middleCentre, {-5.0 + 0.1, 0.0, 0}, 0.0));
    EXPECT_FALSE(MTextContainsPoint(layout, middleCentre, {0.0 + w, 0.0, 0}, 0.0));

    // Running up the y axis, the text's top faces -x.
    MTextPlacement turned;
    turned.location = {5, 5, 0};
    turned.direction = {0, 1, 0};
    EXPECT_TRUE(MTextContainsPoint(layout, turned, {5.5, 5 + w / 2, 0}, 0.0));
    EXPECT_FALSE(MTextContainsPoint(layout, turned, {4.5, 5 + w / 2, 0}, 0.0));
    EXPECT_FALSE(MTextContainsPoint(layout, turned, {5 + w / 2, 5.5, 0}, 0.0));
}

} // namespace
