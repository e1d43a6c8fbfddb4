// What the overlay draws at the extremes: a start point billions of pixels
// off the desktop, and a pointer straight above the start point.
#include <gtest/gtest.h>

#include "display/label_text.h"
#include "display/line_path.h"
#include "display/measure_model.h"

namespace {

TEST(DrawingExtremes, SegmentsAreCutToTheSurface) {
    const struct {
        PathEntry a, b;
        bool visible;
        PathEntry a2, b2;
    } cases[] = {
        {{10, 10}, {90, 50}, true, {10, 10}, {90, 50}},               // inside: unchanged
        {{50, -1176600297.0}, {50, 50}, true, {50, -2}, {50, 50}},    // a start point far above
        {{-4e12, 50}, {4e12, 50}, true, {-2, 50}, {102, 50}},         // through, both ends far off
        {{-1e9, -1e9}, {1e9, 1e9}, true, {-2, -2}, {102, 102}},       // a diagonal through a corner
        {{-1e9, 200}, {1e9, 200}, false, {}, {}},                     // below, parallel to an edge
        {{-1e9, 1e9 + 200}, {1e9, -1e9 + 250}, false, {}, {}},        // passes by a corner
    };
    for (const auto& c : cases) {
        PathEntry a = c.a, b = c.b;
        ASSERT_EQ(ClipSegment(a, b, -2, -2, 102, 102), c.visible) << c.a.x << "," << c.a.y;
        if (!c.visible) continue;
        EXPECT_NEAR(a.x, c.a2.x, 1e-3);
        EXPECT_NEAR(a.y, c.a2.y, 1e-3);
        EXPECT_NEAR(b.x, c.b2.x, 1e-3);
        EXPECT_NEAR(b.y, c.b2.y, 1e-3);
    }
}

TEST(DrawingExtremes, AngleStraightUpShowsWithoutSign) {
    const struct {
        Point pointer;
        const char* text;
    } cases[] = {
        {{100, 40}, "0x60 60.0 0.0\xC2\xB0"},             // -0 from the arithmetic
        {{99, -100000}, "1x100100 100100.0 0.0\xC2\xB0"},  // a tiny angle to the left
        {{99, -473}, "1x573 573.0 -0.1\xC2\xB0"},          // the smallest angle that keeps its sign
    };
    for (const auto& c : cases) {
        MeasureState state;
        state.startPoint = {100, 100};
        state.currentPoint = c.pointer;
        const MeasureReadout r = ReadMeasurement(state);
        EXPECT_EQ(FormatLabelText(double(r.dx), double(r.dy), r.length, r.shownAngle, false), c.text);
    }
}

}  // namespace
