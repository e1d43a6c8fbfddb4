#include <gtest/gtest.h>

#include <vector>

#include "layout/dpi_scale.h"
#include "layout/label_text.h"
#include "layout/loupe_layout.h"

namespace {

const Rect Desktop{0, 0, 1280, 800};
const Rect Arrow{0, 0, 11, 18};  // an arrow pointer's pixels around its hotspot

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Inside(const Rect& r) { return r.left >= 0 && r.top >= 0 && r.right <= 1280 && r.bottom <= 800; }

}  // namespace

// At 96 DPI the label keeps today's look; a failed query (0) counts as 96.
TEST(LabelDpi, FontOutlineGapAndSizeFollowTheMonitor) {
    const struct { int32_t dpi, outlineOffsets, gap, font, width, height; } cases[] = {
        {96, 8, 4, 12, 102, 14}, {120, 8, 5, 15, 102, 14}, {144, 24, 6, 18, 104, 16}, {192, 24, 7, 24, 104, 16},
        {0, 8, 4, 12, 102, 14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(LabelGap(1.0, c.dpi), c.gap);
        EXPECT_EQ(ScaleFontHeight(12, 96, c.dpi), c.font);
        EXPECT_EQ(LabelOutlineOffsets(LabelOutlineWidth(c.dpi)).size(), size_t(c.outlineOffsets));
        const Rect label = PlaceLabel({100, 12, {1279, 799}, 0, Arrow, Desktop, 1.0, c.dpi});
        EXPECT_EQ(std::pair(label.right - label.left, label.bottom - label.top), std::pair(c.width, c.height));
        EXPECT_TRUE(Inside(label));
    }
    // A font chosen at 144 DPI, drawn at 192; a tiny one never vanishes.
    EXPECT_EQ(ScaleFontHeight(-18, 144, 192), -24);
    EXPECT_EQ(ScaleFontHeight(-1, 288, 96), -1);
}

TEST(Loupe, StoredZoomAndSizeOutsideTheirRangeUseTheDefaults) {
    const int32_t cases[][3] = {{-5, 8, 15}, {1, 8, 15}, {2, 2, 15},  {9, 9, 9},  {10, 10, 11},
                                {16, 16, 17}, {17, 8, 17}, {31, 8, 31}, {32, 8, 15}};
    for (const auto& c : cases)
        EXPECT_EQ(std::pair(loupe::UsableZoom(c[0]), loupe::UsableSize(c[0])), std::pair(c[1], c[2])) << c[0];
}

// The middle, each edge and corner of the desktop, without a label, and at
// 144 and 192 DPI.
TEST(Loupe, BesideTheLabelInsideTheDesktopClearOfPointerAndSquare) {
    const struct { Point pointer; int32_t startX, dpi; bool label, right, below; int32_t width; } cases[] = {
        {{640, 400}, 100, 96, true, true, true, 122},  {{640, 400}, 1200, 96, true, false, true, 122},
        {{640, 795}, 100, 96, true, true, false, 122}, {{1276, 400}, 100, 96, true, false, true, 122},
        {{2, 2}, 1200, 96, true, true, true, 122},     {{1279, 799}, 0, 96, true, false, false, 122},
        {{640, 400}, 100, 96, false, true, true, 122}, {{640, 400}, 100, 192, true, true, true, 244},
        {{1279, 2}, 0, 144, true, false, true, 184},   {{125, 400}, 1200, 96, true, true, false, 122},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x << "," << c.pointer.y << " dpi " << c.dpi);
        const Rect square = loupe::SourceSquare(c.pointer, loupe::DefaultSize);
        const Rect extent = loupe::ExtentWithSquare(Arrow, c.pointer, square);
        loupe::PlacementInput in{c.pointer, c.startX, Arrow, {}, Desktop, 15, 8, c.dpi, LabelGap(1.0, c.dpi), 50, 12};
        if (c.label) in.label = PlaceLabel({100, 12, c.pointer, c.startX, extent, Desktop, 1.0, c.dpi});
        const Rect w = loupe::PlaceLoupe(in).window;
        EXPECT_EQ(w.right - w.left, c.width);
        EXPECT_TRUE(Inside(w));
        EXPECT_FALSE(Overlap(w, square) || Overlap(in.label, square));
        EXPECT_FALSE(Overlap(w, {c.pointer.x, c.pointer.y, c.pointer.x + 12, c.pointer.y + 19}));
        EXPECT_EQ(w.left > c.pointer.x, c.right);
        if (c.label) {
            EXPECT_FALSE(Overlap(w, in.label));
            EXPECT_EQ(w.top >= in.label.bottom, c.below);
        }
    }
    // 31 pixels 16 times at 192 DPI would cover the desktop: 12-pixel squares fit in half its height.
    EXPECT_EQ(loupe::PlaceLoupe({{640, 400}, 100, Arrow, {}, Desktop, 31, 16, 192, 7, 50, 12}).cell, 12);
}

TEST(Loupe, MagnifiedPixelsFrameColourTextAndLineEnd) {
    std::vector<uint32_t> source(9 * 9, 0x12AB00);
    source[4 * 9 + 4] = 0xFFFFFF;  // the pointer's pixel: white, so framed in black
    source[0] = 0x0000FF;
    source[1] = 0x00FF00;
    const loupe::Layout o = loupe::PlaceLoupe({{100, 100}, 0, {}, {}, Desktop, 9, 2, 96, 4, 0, 0});
    const int32_t stride = o.window.right - o.window.left;
    std::vector<uint32_t> out(size_t(stride) * (o.window.bottom - o.window.top));
    loupe::ComposeLoupe(o, source.data(), out.data());
    const struct { int32_t x, y; uint32_t pixel; } pixels[] = {
        {0, 0, 0xFF0000FF}, {1, 1, 0xFF0000FF}, {2, 0, 0xFF00FF00},   {8, 8, 0xFFFFFFFF},
        {9, 9, 0xFFFFFFFF}, {7, 8, 0xFF000000}, {10, 10, 0xFF000000}, {11, 11, 0xFF12AB00}};
    for (const auto& p : pixels) {
        EXPECT_EQ(out[size_t(o.image.top + p.y) * stride + o.image.left + p.x], p.pixel) << p.x << "," << p.y;
    }
    EXPECT_EQ(loupe::ColourText(0xFF12AB00), "#12AB00");

    // From a start far to the left, the line ends at the centre frame's left edge.
    const auto end = loupe::LineEnd(o, {40, 100}, {100, 100});
    ASSERT_TRUE(end.has_value());
    EXPECT_DOUBLE_EQ(end->x2, o.image.left + 7);
    EXPECT_DOUBLE_EQ(end->y2, o.image.top + 9);
    EXPECT_FALSE(loupe::LineEnd(o, {100, 100}, {100, 100}).has_value());
}
