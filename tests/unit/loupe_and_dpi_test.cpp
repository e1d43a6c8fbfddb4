#include <gtest/gtest.h>

#include <vector>

#include "display/dpi_scale.h"
#include "display/label_text.h"
#include "display/loupe_layout.h"

namespace {

const Rect Desktop{0, 0, 1280, 800};
const Rect Arrow{0, 0, 11, 18};  // a typical arrow pointer around its hotspot

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TEST(LabelDpi, FontOutlineGapAndSizeFollowTheMonitor) {
    const struct {
        int32_t dpi, outline, gap, fontHeight, width, height;
    } cases[] = {
        {96, 1, 4, 12, 102, 14}, {120, 1, 5, 15, 102, 14}, {144, 2, 6, 18, 104, 16},
        {192, 2, 7, 24, 104, 16}, {0, 1, 4, 12, 102, 14},  // a failed query counts as 96
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(LabelOutlineWidth(c.dpi), c.outline);
        EXPECT_EQ(LabelGap(1.0, c.dpi), c.gap);
        EXPECT_EQ(ScaleFontHeight(12, 96, c.dpi), c.fontHeight);
        LabelPlacementInput in{100, 12, {1279, 799}, 0, Arrow, Desktop, 1.0, c.dpi};
        const Rect label = PlaceLabel(in);
        EXPECT_EQ(label.right - label.left, c.width);
        EXPECT_EQ(label.bottom - label.top, c.height);
        EXPECT_TRUE(label.left >= 0 && label.top >= 0 && label.right <= 1280 && label.bottom <= 800);
        EXPECT_EQ(LabelOutlineOffsets(c.outline).size(), size_t((2 * c.outline + 1) * (2 * c.outline + 1) - 1));
    }
    // A font chosen at 144 DPI keeps its size there and grows on a 192-DPI monitor.
    EXPECT_EQ(ScaleFontHeight(-18, 144, 144), -18);
    EXPECT_EQ(ScaleFontHeight(-18, 144, 192), -24);
    EXPECT_EQ(ScaleFontHeight(-1, 288, 96), -1);
}

TEST(Loupe, StoredZoomAndSizeOutsideTheirRangeUseTheDefaults) {
    const struct {
        int32_t stored, zoom, size;
    } cases[] = {{-5, 8, 15}, {1, 8, 15}, {2, 2, 15}, {9, 9, 9}, {10, 10, 11}, {16, 16, 17}, {17, 8, 17},
                 {31, 8, 31}, {32, 8, 15}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(loupe::UsableZoom(c.stored), c.zoom);
        EXPECT_EQ(loupe::UsableSize(c.stored), c.size);
    }
}

TEST(Loupe, PlacedBesideTheLabelInsideTheDesktopClearOfPointerAndSquare) {
    enum { Above = -1, Level = 0, Below = 1 };
    const struct {
        Point pointer;
        int32_t startX, dpi;
        bool label, right;
        int vertical, width;
    } cases[] = {
        {{640, 400}, 100, 96, true, true, Below, 122},    {{640, 400}, 1200, 96, true, false, Below, 122},
        {{640, 795}, 100, 96, true, true, Above, 122},    {{1276, 400}, 100, 96, true, false, Below, 122},
        {{2, 2}, 1200, 96, true, true, Below, 122},       {{1279, 799}, 0, 96, true, false, Above, 122},
        {{640, 400}, 100, 96, false, true, Level, 122},   {{640, 400}, 100, 192, true, true, Below, 244},
        {{1279, 2}, 0, 144, true, false, Below, 184},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x << "," << c.pointer.y << " dpi " << c.dpi);
        const Rect square = loupe::SourceSquare(c.pointer, loupe::DefaultSize);
        LabelPlacementInput l{100, 12, c.pointer, c.startX, loupe::ExtentWithSquare(Arrow, c.pointer, square),
                              Desktop, 1.0, c.dpi};
        loupe::PlacementInput in;
        in.pointer = c.pointer;
        in.startX = c.startX;
        in.pointerExtent = Arrow;
        in.label = c.label ? PlaceLabel(l) : Rect{};
        in.virtualScreen = Desktop;
        in.dpi = c.dpi;
        in.gap = LabelGap(1.0, c.dpi);
        in.textWidth = 50;
        in.textHeight = 12;
        const loupe::Layout o = loupe::PlaceLoupe(in);
        const Rect& w = o.window;
        EXPECT_EQ(w.right - w.left, c.width);
        EXPECT_TRUE(w.left >= 0 && w.top >= 0 && w.right <= 1280 && w.bottom <= 800);
        EXPECT_FALSE(Overlap(w, square));
        EXPECT_FALSE(Overlap(w, {c.pointer.x, c.pointer.y, c.pointer.x + 12, c.pointer.y + 19}));
        EXPECT_EQ(w.left > c.pointer.x, c.right);
        if (c.label) {
            EXPECT_FALSE(Overlap(w, in.label));
            EXPECT_FALSE(Overlap(in.label, square));
            EXPECT_EQ(w.top >= in.label.bottom ? Below : Above, c.vertical);
        }
    }
}

TEST(Loupe, MagnifiedPixelsFrameColourTextAndLineEnd) {
    std::vector<uint32_t> source(9 * 9, 0x12AB00);
    source[4 * 9 + 4] = 0xFFFFFF;  // the pointer's pixel: white, framed in black
    source[0] = 0x0000FF;
    loupe::PlacementInput in;
    in.pointer = {100, 100};
    in.virtualScreen = Desktop;
    in.size = 9;
    in.zoom = 2;
    const loupe::Layout o = loupe::PlaceLoupe(in);
    const int32_t stride = o.window.right - o.window.left;
    std::vector<uint32_t> out(size_t(stride) * (o.window.bottom - o.window.top));
    loupe::ComposeLoupe(o, source.data(), out.data());
    auto at = [&](int32_t x, int32_t y) { return out[size_t(o.image.top + y) * stride + o.image.left + x]; };
    EXPECT_EQ(at(0, 0), 0xFF0000FFu);
    EXPECT_EQ(at(1, 1), 0xFF0000FFu);
    EXPECT_EQ(at(2, 0), 0xFF12AB00u);
    EXPECT_EQ(at(8, 8), 0xFFFFFFFFu);  // the centre's own square
    EXPECT_EQ(at(7, 8), 0xFF000000u);  // its frame
    EXPECT_EQ(at(10, 10), 0xFF000000u);
    EXPECT_EQ(at(11, 11), 0xFF12AB00u);
    EXPECT_EQ(loupe::ColourText(0xFF12AB00), "#12AB00");
    EXPECT_EQ(loupe::ColourText(0x00000000), "#000000");

    // From a start far to the left, the line ends at the centre frame's left edge.
    const auto end = loupe::LineEnd(o, {40, 100}, {100, 100});
    ASSERT_TRUE(end.has_value());
    EXPECT_DOUBLE_EQ(end->x2, o.image.left + 8 - 1);
    EXPECT_DOUBLE_EQ(end->y2, o.image.top + 9);
    EXPECT_FALSE(loupe::LineEnd(o, {100, 100}, {100, 100}).has_value());
}
