#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/line_path.h"
#include "display/measure_model.h"
#include "fakes/fake_platform.h"
#include "platform/system_metrics.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void SetState(MeasureState& m, Point start, Point current, double angle, bool reflection = false) {
    m.startPoint = start;
    m.currentPoint = current;
    m.referenceAngle = angle;
    m.reflectionMode = reflection;
}

std::string Describe(const LinePath& path) {
    std::string out;
    for (int32_t i = 0; i < path.count; ++i) {
        const PathEntry& e = path.entries[size_t(i)];
        out += IsBreak(e) ? "B" : "(" + std::to_string(e.x) + "," + std::to_string(e.y) + ")";
        out += " ";
    }
    return out;
}

int CountBreaks(const LinePath& path, double colour) {
    int n = 0;
    for (int32_t i = 0; i < path.count; ++i) n += IsBreak(path.entries[size_t(i)]) && path.entries[size_t(i)].y == colour;
    return n;
}

}  // namespace

TEST(MeasureModel, NormalizeKeepsHalfOpenRangeAndSurvivesDamagedAngles) {
    const struct {
        double in, out;
    } cases[] = {
        {180.0, 180.0}, {-180.0, 180.0}, {540.0, 180.0}, {-190.0, 170.0}, {190.0, -170.0},
        {-179.5, -179.5}, {725.0, 5.0}, {kNaN, 0.0}, {kInf, 0.0}, {-kInf, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(NormalizeDegrees(c.in), c.out);
    }
    // A huge stored value must not keep the loop busy, and still lands in range.
    const double huge = NormalizeDegrees(1e300);
    EXPECT_GT(huge, -180.0);
    EXPECT_LE(huge, 180.0);
}

TEST(MeasureModel, ShownAngleAndDistances) {
    const struct {
        Point pointer;
        double reference;
        bool reflection;
        double angle, length;
    } cases[] = {
        {{110, 100}, 0.0, false, 90.0, 10.0},    // right
        {{90, 100}, 0.0, false, -90.0, 10.0},    // left
        {{100, 110}, 0.0, false, 180.0, 10.0},   // straight down is 180, never -180
        {{110, 90}, 0.0, false, 45.0, std::sqrt(200.0)},
        {{110, 100}, 30.0, false, 60.0, 10.0},   // relative to the reflection lines
        {{110, 100}, 30.0, true, 90.0, 10.0},    // plain bearing while the keys are held
        {{220, 145}, 30.0, false, 80.6, 128.2},
        {{100, 100}, 30.0, false, -30.0, 0.0},   // on the start point
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x << "," << c.pointer.y << " ref " << c.reference);
        MeasureState m;
        SetState(m, {100, 100}, c.pointer, c.reference, c.reflection);
        const MeasureReadout r = ReadMeasurement(m);
        EXPECT_NEAR(r.shownAngle, c.angle, 0.05);
        EXPECT_NEAR(r.length, c.length, 0.05);
        EXPECT_EQ(r.dx, 100 - c.pointer.x);
        EXPECT_EQ(r.dy, 100 - c.pointer.y);
    }
}

TEST(MeasureModel, PointerUpdateModes) {
    const struct {
        const char* name;
        Point start, current;
        double angle;
        bool konscr;
        int32_t virtualLeft;  // a monitor left of the primary one moves the desktop's left edge
        Point pointer;
        bool moveStart, reflectionKey;
        Point wantStart;
        double wantAngle;
    } cases[] = {
        {"plain move", {100, 100}, {120, 130}, 10.0, true, 0, {300, 40}, false, false, {100, 100}, 10.0},
        {"drag keeps the vector", {100, 100}, {120, 130}, 0.0, true, 0, {125, 127}, true, false, {105, 97}, 0.0},
        {"clamped at the left edge", {5, 500}, {105, 520}, 0.0, true, 0, {95, 530}, true, false, {0, 510}, 0.0},
        {"clamped at a negative left edge", {-1275, 500}, {-1175, 520}, 0.0, true, -1280, {-1185, 530}, true, false,
         {-1280, 510}, 0.0},
        {"clamped at the bottom right", {1915, 1075}, {1900, 1070}, 0.0, true, 0, {1910, 1080 - 1}, true, false,
         {1919, 1079}, 0.0},
        {"konscr off leaves the desktop", {5, 500}, {105, 520}, 0.0, false, 0, {95, 530}, true, false, {-5, 510}, 0.0},
        {"pointer off the desktop: no clamp", {3, 480}, {5, 500}, 0.0, true, 0, {-10, 490}, true, false, {-12, 470},
         0.0},
        {"set takes the bearing, start stays", {100, 100}, {100, 50}, 10.0, true, 0, {150, 100}, true, true,
         {100, 100}, 90.0},
        {"rotate 170 by +90 wraps", {100, 100}, {110, 100}, 170.0, true, 0, {100, 110}, false, true, {100, 100},
         -100.0},
        {"rotate reaching -180 stores 180", {100, 100}, {100, 110}, -90.0, true, 0, {110, 100}, false, true,
         {100, 100}, 180.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeSystem();
        FakeSystem.metrics[platform::MetricXVirtualScreen] = c.virtualLeft;
        FakeSystem.metrics[platform::MetricCxVirtualScreen] = 1920 - c.virtualLeft;
        MeasureState m;
        SetState(m, c.start, c.current, c.angle, !c.reflectionKey);
        ApplyPointerUpdate(m, c.konscr, c.pointer.x, c.pointer.y, c.moveStart, c.reflectionKey);
        EXPECT_EQ(m.currentPoint, c.pointer);
        EXPECT_EQ(m.startPoint, c.wantStart);
        EXPECT_DOUBLE_EQ(m.referenceAngle.load(), c.wantAngle);
        EXPECT_EQ(m.reflectionMode, c.reflectionKey);
    }
}

TEST(LinePath, OneReflectionWithLinesAndCross) {
    const LinePath path = BuildLinePath({100, 100}, {110, 80}, 0.0, PathSettings{1, true, true});
    const double B = kBreakX, L = kReflectionLineColour, C = kCrossColour;
    const PathEntry want[] = {
        {100, 100}, {110, 80}, {90, 40},                                  // ray
        {B, L}, {110, 100}, {110, 40}, {B, L}, {90, 100}, {90, 40},       // reflection lines
        {B, C}, {100, 99}, {100, 94}, {B, C}, {100, 101}, {100, 106},     // cross, centre free
        {B, C}, {99, 100}, {94, 100}, {B, C}, {101, 100}, {106, 100},
    };
    ASSERT_EQ(path.count, int32_t(std::size(want))) << Describe(path);
    EXPECT_EQ(path.capacity, path.count);
    for (size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(path.entries[i].x, want[i].x);
        EXPECT_DOUBLE_EQ(path.entries[i].y, want[i].y);
    }
    EXPECT_EQ(PathBounds(path), (Rect{90, 40, 111, 107}));
    EXPECT_EQ(BreakColour(path.entries[3]), 0x80000000);  // no colour bytes: black
    EXPECT_EQ(BreakColour(path.entries[9]), 0xFF);        // red
    EXPECT_EQ(BreakColour({kBreakX, -1.0}), -1);
}

TEST(LinePath, SettingsShapeTheListAndDamagedValuesStayBounded) {
    const struct {
        const char* name;
        PathSettings settings;
        double angle;
        int32_t count;
        int lineBreaks, crossBreaks;
    } cases[] = {
        {"no reflections: no lines", {0, true, true}, 0.0, 2 + 12, 0, 4},
        {"lines off", {2, false, true}, 0.0, 4 + 12, 0, 4},
        {"cross off", {2, true, false}, 0.0, 4 + 6, 2, 0},
        {"most reflections", {99, true, true}, 0.0, 119, 2, 4},
        {"negative count", {-5, true, true}, 0.0, 2 + 12, 0, 4},
        {"huge count", {100000, true, true}, 0.0, 119, 2, 4},
        {"angle without direction", {1, true, true}, kNaN, 21, 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LinePath path = BuildLinePath({100, 100}, {110, 80}, c.angle, c.settings);
        EXPECT_EQ(path.count, c.count);
        EXPECT_LE(path.count, path.capacity);
        EXPECT_EQ(CountBreaks(path, kReflectionLineColour), c.lineBreaks);
        EXPECT_EQ(CountBreaks(path, kCrossColour), c.crossBreaks);
        const Rect b = PathBounds(path);
        EXPECT_LT(b.left, b.right);
        EXPECT_LT(b.top, b.bottom);
    }
    // A damaged angle draws like 0.
    const LinePath nan = BuildLinePath({100, 100}, {110, 80}, kNaN, {});
    EXPECT_EQ(PathBounds(nan), PathBounds(BuildLinePath({100, 100}, {110, 80}, 0.0, {})));
}

TEST(LinePath, ReferenceAngleTurnsTheReflectionLines) {
    // At 90 degrees the lines run horizontally; the pointer comes back to
    // where it was and the cross is not turned.
    const LinePath path = BuildLinePath({100, 100}, {110, 80}, 90.0, PathSettings{1, true, true});
    ASSERT_EQ(path.count, 21);
    EXPECT_NEAR(path.entries[1].x, 110, 1e-9);
    EXPECT_NEAR(path.entries[1].y, 80, 1e-9);
    for (int line : {3, 6}) {
        const PathEntry& a = path.entries[size_t(line + 1)];
        const PathEntry& b = path.entries[size_t(line + 2)];
        EXPECT_NEAR(a.y, b.y, 1e-9) << "line at " << line;
        EXPECT_GT(std::fabs(a.x - b.x), 1.0) << "line at " << line;
    }
    EXPECT_DOUBLE_EQ(path.entries[10].x, 100);
    EXPECT_DOUBLE_EQ(path.entries[10].y, 99);
}

TEST(LinePath, RotateAboutAndRounding) {
    PathEntry p{110, 100};
    RotateAbout(p, {100, 100}, 90.0);  // right of the centre turns to below it: clockwise on screen
    EXPECT_NEAR(p.x, 100, 1e-9);
    EXPECT_NEAR(p.y, 110, 1e-9);
    PathEntry brk{kBreakX, 255.0};
    RotateAbout(brk, {100, 100}, 90.0);
    EXPECT_EQ(brk.x, kBreakX);
    EXPECT_EQ(brk.y, 255.0);

    LinePath path;
    path.capacity = 4;
    path.Append(-0.5, 2.5);  // halves round away from zero
    EXPECT_EQ(PathBounds(path), Rect{});  // a single point has no bounds
    path.AppendBreak(-1.0);
    path.Append(1.49, -2.5);
    path.Append(3e12, -3e12);  // far off: kept within a range the margin cannot overflow
    const Rect b = PathBounds(path);
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.bottom, 4);
    EXPECT_GT(b.right, 1'000'000'000);
    EXPECT_LT(b.right, std::numeric_limits<int32_t>::max() - 200);
    EXPECT_LT(b.top, -1'000'000'000);
    EXPECT_GT(b.top, std::numeric_limits<int32_t>::min() + 200);
}
