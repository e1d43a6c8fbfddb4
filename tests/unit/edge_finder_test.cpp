#include <gtest/gtest.h>

#include <string>

#include "measure/edge_finder.h"
#include "measure/measure_model.h"
#include "measure/measure_units.h"

namespace {

// One pixel per character: '.' dark, '#' light, 'a' and 'b' dark plus 30 and
// 31 in every channel, '0'..'9' a gradient of 10 per step, 'B' dark with blue
// alone light.
uint32_t Colour(char c) {
    if (c >= '0' && c <= '9') return 0x101010 + 0x0A0A0A * uint32_t(c - '0');
    switch (c) {
        case '#': return 0xF0F0F0;
        case 'a': return 0x2E2E2E;
        case 'b': return 0x2F2F2F;
        case 'B': return 0x1010F0;
        default: return 0x101010;
    }
}

// The pixels as a row starting at x = first, or as a column starting at y = first.
ScreenPixels Strip(const std::string& pixels, int32_t first, bool column) {
    const int32_t n = int32_t(pixels.size());
    ScreenPixels image{column ? Rect{0, first, 1, first + n} : Rect{first, 0, first + n, 1}, {}};
    for (char c : pixels) image.pixels.push_back(Colour(c));
    return image;
}

}  // namespace

// Rows: the pixels, the first one's coordinate, the pointer's, the radius;
// the snapped coordinate and the run (end exclusive). Each row is checked as
// a row of the screen and as a column.
TEST(EdgeFinder, SnapsToTheNearestEdgeAndFindsTheRun) {
    const struct { const char* name; const char* pixels; int32_t first, at, radius, snapped, runFrom, runTo; } cases[] = {
        {"flat colour", "..........", 0, 4, 12, 4, 0, 10}, {"hard edge on the left", "....######", 0, 7, 12, 4, 4, 10},
        {"hard edge on the right", "######....", 0, 2, 12, 6, 0, 6},
        {"the nearer of two", "..######..", 0, 3, 12, 2, 2, 8},
        {"equally far: the left one", "..####..", 0, 4, 12, 2, 2, 6},
        {"beyond the radius", "#.........", 0, 5, 3, 5, 1, 10}, {"at the radius", "#.........", 0, 5, 4, 1, 1, 10},
        {"on the first pixel past an edge", "....######", 0, 4, 12, 4, 4, 10},
        {"on the last pixel before it", "....######", 0, 3, 12, 4, 0, 4},
        {"anti-aliased pixel within the tolerance", "...a####", 0, 1, 12, 4, 0, 4},
        {"anti-aliased pixel beyond it", "...b####", 0, 1, 12, 3, 0, 3},
        {"gradient: the fourth step differs", "0123456789", 0, 0, 12, 4, 0, 4},
        {"gradient both ways", "9876543210123456789", 0, 9, 12, 6, 6, 13},
        {"one channel is enough", "..B.....", 0, 5, 12, 3, 3, 8},
        {"monitor bounds are no edges", "..........", -1280, -1275, 12, -1275, -1280, -1270},
        {"outside the monitor", "....", 100, 99, 12, 99, 0, 0},
    };
    for (const auto& c : cases) {
        for (bool column : {false, true}) {
            const ScreenPixels image = Strip(c.pixels, c.first, column);
            const Point p = column ? Point{0, c.at} : Point{c.at, 0};
            const Point snapped = SnapToEdges(image, p, DefaultEdgeTolerance, c.radius);
            const Rect run = SameColourRuns(image, p, DefaultEdgeTolerance);
            EXPECT_EQ(column ? snapped.y : snapped.x, c.snapped) << c.name << (column ? " (column)" : "");
            EXPECT_EQ(column ? run.top : run.left, c.runFrom) << c.name << (column ? " (column)" : "");
            EXPECT_EQ(column ? run.bottom : run.right, c.runTo) << c.name << (column ? " (column)" : "");
        }
    }
    EXPECT_EQ(std::pair(UsableEdgeTolerance(256), UsableEdgeTolerance(0)), std::pair(30, 0));
    EXPECT_EQ(std::pair(UsableSnapRadius(0), UsableSnapRadius(64)), std::pair(12, 64));
    EXPECT_EQ(FormatSpacingText(200, 100, MeasureUnit::Millimetres, {}), "52.9 x 26.5 mm");
}

// A light 20x20 box at 10..29 on a dark 40x40 monitor: the measured end
// snaps; a dragged start point snaps, and the drag goes on from where the
// free point would be.
TEST(EdgeFinder, SnapMovesThePointThePointerDrives) {
    ScreenPixels image{{0, 0, 40, 40}, std::vector<uint32_t>(1600, 0x101010)};
    for (int32_t y = 10; y < 30; ++y)
        for (int32_t x = 10; x < 30; ++x) image.pixels[size_t(y * 40 + x)] = 0xF0F0F0;
    const EdgeSnap snap{&image, DefaultEdgeTolerance, 4};
    MeasureState m{{8, 20}, {0, 0}, 0.0, false};
    ApplyPointerUpdate(m, false, 12, 28, false, false, snap);
    EXPECT_EQ(m.currentPoint, (Point{10, 30}));
    const struct { int32_t pointerX; Point start; } drag[] = {{14, {10, 20}}, {17, {10, 20}}, {20, {16, 20}}};
    for (const auto& step : drag) {
        ApplyPointerUpdate(m, false, step.pointerX, 28, true, false, snap);
        EXPECT_EQ(m.startPoint, step.start) << step.pointerX;
        EXPECT_EQ(m.currentPoint, (Point{step.pointerX, 28}));
    }
}
