#include <gtest/gtest.h>

#include <cmath>

#include "fakes/fake_platform.h"
#include "layout/label_text.h"
#include "layout/line_path.h"
#include "measure/measure_model.h"
#include "measure/measure_units.h"
#include "platform/system_metrics.h"

TEST(MeasureModel, NormalizeKeepsTheHalfOpenRange) {
    const double cases[][2] = {{180, 180}, {-180, 180}, {540, 180}, {-190, 170}, {190, -170}, {-179.5, -179.5}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(NormalizeDegrees(c[0]), c[1]) << c[0];
}

// Rows: start, current point and angle before; the pointer, the held keys and konscr; start and angle after.
TEST(MeasureModel, PointerUpdateModes) {
    const struct { const char* name; Point start, current; double angle; Point pointer;
                   bool moveStart, reflectionKey, konscr; Point wantStart; double wantAngle; } cases[] = {
        {"plain move", {100, 100}, {120, 130}, 10, {300, 40}, false, false, true, {100, 100}, 10},
        {"drag keeps the vector", {100, 100}, {120, 130}, 0, {125, 127}, true, false, true, {105, 97}, 0},
        {"clamped left", {-1275, 500}, {-1175, 520}, 0, {-1185, 530}, true, false, true, {-1280, 510}, 0},
        {"clamped bottom right", {1915, 1075}, {1900, 1070}, 0, {1910, 1079}, true, false, true, {1919, 1079}, 0},
        {"konscr off", {-1275, 500}, {-1175, 520}, 0, {-1185, 530}, true, false, false, {-1285, 510}, 0},
        {"pointer off: no clamp", {-1277, 480}, {-1275, 500}, 0, {-1290, 490}, true, false, true, {-1292, 470}, 0},
        {"set: bearing", {100, 100}, {100, 50}, 10, {150, 100}, true, true, true, {100, 100}, 90},
        {"rotate 170 by +90 wraps", {100, 100}, {110, 100}, 170, {100, 110}, false, true, true, {100, 100}, -100},
        {"rotate to -180 stores 180", {100, 100}, {100, 110}, -90, {110, 100}, false, true, true, {100, 100}, 180},
    };
    ResetFakeSystem();
    FakeSystem.metrics[platform::MetricXVirtualScreen] = -1280;  // a monitor left of the primary one
    FakeSystem.metrics[platform::MetricCxVirtualScreen] = 1920 + 1280;
    for (const auto& c : cases) {
        MeasureState m{c.start, c.current, c.angle, !c.reflectionKey};
        ApplyPointerUpdate(m, c.konscr, c.pointer.x, c.pointer.y, c.moveStart, c.reflectionKey);
        EXPECT_TRUE(m.currentPoint == c.pointer && m.startPoint == c.wantStart) << c.name;
        EXPECT_TRUE(m.referenceAngle == c.wantAngle && m.reflectionMode == c.reflectionKey) << c.name;
    }
}

TEST(NumbersLabel, TextShowsDistancesLengthAndAngle) {
    const struct { Point pointer; double referenceAngle; bool reflection; const char* text; } cases[] = {
        {{220, 145}, 0, false, "120x45 128.2 110.6\xC2\xB0"},
        {{220, 145}, 30, false, "120x45 128.2 80.6\xC2\xB0"},    // relative to the reflection lines
        {{220, 145}, 30, true, "120x45 128.2 [110.6\xC2\xB0]"},  // plain bearing while the keys are held
        {{40, 100}, 0, false, "60x0 60.0 -90.0\xC2\xB0"}, {{100, 100}, 30, false, "0x0 0.0 -30.0\xC2\xB0"},
        {{100, 130}, 0, false, "0x30 30.0 180.0\xC2\xB0"},  // straight down is 180, never -180
        {{100, 40}, 0, false, "0x60 60.0 0.0\xC2\xB0"},                 // straight up: no "-0.0"
        {{99, -100000}, 0, false, "1x100100 100100.0 0.0\xC2\xB0"},  // -0.0006 rounds to 0.0
    };
    for (const auto& c : cases) {
        const MeasureState state{{100, 100}, c.pointer, c.referenceAngle, c.reflection};
        const MeasureReadout r = ReadMeasurement(state);
        EXPECT_EQ(FormatLabelText(double(r.dx), double(r.dy), r.length, r.shownAngle, c.reflection), c.text);
    }
}

// A 60x13 text makes a 62x15 label from 6 rows above the pointer's row.
TEST(NumbersLabel, PlacedBesidePointerAwayFromStartAndInsideDesktop) {
    const Rect arrow{0, 0, 11, 18};  // a standard arrow, hotspot at its tip
    const struct { const char* name; Point pointer; int32_t startX; Rect extent; double linethick; Rect label; }
    cases[] = {
        {"right of the arrow", {500, 400}, 100, arrow, 1.0, {512, 394, 574, 409}},
        {"left when left of the start", {500, 400}, 900, arrow, 1.0, {435, 394, 497, 409}},
        {"level with the start goes right", {500, 400}, 500, arrow, 1.0, {512, 394, 574, 409}},
        {"thick line widens the gap", {500, 400}, 100, {0, 0, 5, 5}, 5.5, {510, 394, 572, 409}},
        {"clear of a pointer reaching left", {500, 400}, 900, {-12, -8, 3, 8}, 1.0, {427, 394, 489, 409}},
        {"just fits on the right", {1845, 400}, 100, arrow, 1.0, {1857, 394, 1919, 409}},
        {"one pixel short on the right", {1846, 400}, 100, arrow, 1.0, {1781, 394, 1843, 409}},
        {"left edge goes right", {-1270, 400}, 900, arrow, 1.0, {-1258, 394, -1196, 409}},
        {"top edge shifts down only", {500, 3}, 100, arrow, 1.0, {512, 0, 574, 15}},
        {"bottom edge shifts up only", {500, 1078}, 100, arrow, 1.0, {512, 1065, 574, 1080}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceLabel({60, 13, c.pointer, c.startX, c.extent, {-1280, 0, 1920, 1080}, c.linethick}), c.label)
            << c.name;
    // Wider than either side: kept inside, from the left edge.
    EXPECT_EQ(PlaceLabel({3190, 13, {0, 400}, -500, arrow, {-1280, 0, 1920, 1080}, 1.0}).left, -1280);
}

TEST(LinePath, OneReflectionWithLinesAndCross) {
    const LinePath path = BuildLinePath({100, 100}, {110, 80}, 0.0, PathSettings{1, true, true});
    const double B = kBreakX, L = kReflectionLineColour, C = kCrossColour;
    const PathEntry want[] = {
        {100, 100}, {110, 80}, {90, 40},                               // ray
        {B, L}, {110, 100}, {110, 40}, {B, L}, {90, 100}, {90, 40},    // reflection lines
        {B, C}, {100, 99}, {100, 94}, {B, C}, {100, 101}, {100, 106},  // cross, centre free
        {B, C}, {99, 100}, {94, 100}, {B, C}, {101, 100}, {106, 100},
    };
    ASSERT_EQ(path.count, int32_t(std::size(want)));
    for (size_t i = 0; i < std::size(want); ++i) {
        EXPECT_DOUBLE_EQ(path.entries[i].x, want[i].x) << i;
        EXPECT_DOUBLE_EQ(path.entries[i].y, want[i].y) << i;
    }
    EXPECT_EQ(PathBounds(path), (Rect{90, 40, 111, 107}));
    EXPECT_EQ(BreakColour(path.entries[3]) * 1000 + BreakColour(path.entries[9]), 0x80000000LL * 1000 + 0xFF);
    // Fewer reflections, no lines or no cross shorten the list.
    const std::pair<PathSettings, int32_t> shapes[] = {
        {{0, true, true}, 2 + 12}, {{2, false, true}, 4 + 12}, {{2, true, false}, 4 + 6}, {{99, true, true}, 119}};
    for (const auto& [settings, count] : shapes)
        EXPECT_EQ(BuildLinePath({100, 100}, {110, 80}, 0.0, settings).count, count) << settings.refnr;
}

// At 90 degrees the lines run horizontally, turned clockwise; the pointer
// stays where it is and the cross is not turned.
TEST(LinePath, ReferenceAngleTurnsTheReflectionLines) {
    const LinePath path = BuildLinePath({100, 100}, {110, 80}, 90.0, PathSettings{1, true, true});
    const std::pair<int, PathEntry> points[] = {{1, {110, 80}}, {2, {130, 120}}, {4, {100, 80}}, {5, {130, 80}},
                                                {10, {100, 99}}};
    for (const auto& [i, p] : points)
        EXPECT_LT(std::hypot(path.entries[size_t(i)].x - p.x, path.entries[size_t(i)].y - p.y), 1e-9) << i;
    EXPECT_EQ(PathBounds(path), (Rect{94, 80, 131, 121}));
    PathEntry p{110, 100};
    RotateAbout(p, {100, 100}, 45.0);  // clockwise on the screen
    EXPECT_NEAR(p.y, 107.071, 1e-3);
    // The bounds take each point at its nearest pixel, halves away from zero.
    LinePath halves;
    halves.capacity = 2;
    halves.Append(-0.5, 2.5);
    halves.Append(1.49, -2.5);
    EXPECT_EQ(PathBounds(halves), (Rect{-1, -3, 2, 4}));
}

// The drawing hands GDI+ only the part of a segment near its surface; a
// start point billions of pixels off the desktop must come out as a short
// segment on the same line.
TEST(LinePath, SegmentsAreCutToTheSurface) {
    const struct { PathEntry a, b; bool visible; PathEntry a2, b2; } cases[] = {
        {{10, 10}, {90, 50}, true, {10, 10}, {90, 50}}, {{50, -1176600297.0}, {50, 50}, true, {50, -2}, {50, 50}},
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
