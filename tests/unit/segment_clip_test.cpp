#include <gtest/gtest.h>

#include <cmath>

#include "display/line_path.h"

namespace {

// The drawing hands GDI+ only the part of a segment near its surface; a
// start point billions of pixels off the desktop must come out as a short
// segment on the same line.
TEST(LinePath, SegmentsAreCutToTheSurface) {
    const struct { PathEntry a, b; bool visible; PathEntry a2, b2; } cases[] = {
        {{10, 10}, {90, 50}, true, {10, 10}, {90, 50}},
        {{50, -1176600297.0}, {50, 50}, true, {50, -2}, {50, 50}},
        {{-1e9, -1e9}, {1e9, 1e9}, true, {-2, -2}, {102, 102}},
        {{-1e9, 200}, {1e9, 200}, false, {}, {}},  // parallel to an edge, outside
    };
    for (const auto& c : cases) {
        PathEntry a = c.a, b = c.b;
        ASSERT_EQ(ClipSegment(a, b, -2, -2, 102, 102), c.visible) << c.a.x << "," << c.a.y;
        if (!c.visible) continue;
        EXPECT_LT(std::hypot(a.x - c.a2.x, a.y - c.a2.y) + std::hypot(b.x - c.b2.x, b.y - c.b2.y), 1e-3);
    }
}

}  // namespace
