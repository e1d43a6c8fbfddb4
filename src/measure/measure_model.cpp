#include "measure/measure_model.h"

#include <cmath>
#include <limits>

#include "platform/system_metrics.h"

namespace {

constexpr double kDegreesPerRadianNegated = -57.29577951308232;

// Beyond this many turns the loop of NormalizeDegrees would take long; such
// values only come from a damaged setting.
constexpr double kLoopLimit = 360.0 * 16;

int32_t Saturate(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace

double NormalizeDegrees(double v) {
    if (!std::isfinite(v)) return 0.0;
    if (std::fabs(v) > kLoopLimit) v = std::fmod(v, 360.0);
    while (v > 180.0) v -= 360.0;
    while (v <= -180.0) v += 360.0;
    return v;
}

double Bearing(Point s, Point p, double offset) {
    const double a = double(s.x) - double(p.x);
    const double b = double(s.y) - double(p.y);
    return NormalizeDegrees(std::atan2(a, b) * kDegreesPerRadianNegated - offset);
}

Rect VirtualScreenRect() {
    const auto get = platform::Metrics.get;
    Rect r;
    r.left = get(platform::MetricXVirtualScreen);
    r.top = get(platform::MetricYVirtualScreen);
    r.right = Saturate(int64_t(r.left) + get(platform::MetricCxVirtualScreen));
    r.bottom = Saturate(int64_t(r.top) + get(platform::MetricCyVirtualScreen));
    return r;
}

bool PointerReadingTrue(Point reading, Point reported) {
    const Rect r = VirtualScreenRect();
    const int64_t width = platform::Metrics.get(platform::MetricCxScreen);
    const int64_t height = platform::Metrics.get(platform::MetricCyScreen);
    if (r.left - width <= reported.x && reported.x < r.right + width && r.top - height <= reported.y &&
        reported.y < r.bottom + height) {
        return true;
    }
    // Pulled onto the desktop: each coordinate reported outside it reads on its edge.
    const auto pulled = [](int32_t read, int32_t report, int32_t low, int32_t high) {
        return report < low ? read == low : report >= high ? read == high - 1 : true;
    };
    return !(pulled(reading.x, reported.x, r.left, r.right) && pulled(reading.y, reported.y, r.top, r.bottom));
}

void ApplyPointerUpdate(MeasureState& state, bool keepOnScreen, int32_t x, int32_t y,
                        bool moveStart, bool reflectionKey, const EdgeSnap& snap) {
    state.reflectionMode = reflectionKey;
    const Point pointer{x, y};
    const Point lastPointer{Saturate(int64_t(state.currentPoint.x) + state.pointerOffset.x),
                            Saturate(int64_t(state.currentPoint.y) + state.pointerOffset.y)};
    const Point freeStart{Saturate(int64_t(state.startPoint.x) + state.startOffset.x),
                          Saturate(int64_t(state.startPoint.y) + state.startOffset.y)};
    state.pointerOffset = Point{};
    state.startOffset = Point{};
    const auto snapped = [&snap](Point p) {
        return snap.image ? SnapToEdges(*snap.image, p, snap.tolerance, snap.radius) : p;
    };

    if (moveStart && reflectionKey) {
        // Set the reference angle; the start point stays although the move
        // flag is given.
        state.currentPoint = pointer;
        state.referenceAngle = Bearing(state.startPoint, pointer, 0.0);
        return;
    }
    if (reflectionKey) {
        // Turn the reference angle by the pointer's turn about the start point.
        const double before = Bearing(state.startPoint, state.currentPoint, 0.0);
        state.currentPoint = pointer;
        const double after = Bearing(state.startPoint, pointer, 0.0);
        state.referenceAngle = NormalizeDegrees(after - before + state.referenceAngle.load());
        return;
    }
    if (!moveStart) {
        state.currentPoint = snapped(pointer);
        state.pointerOffset = {x - state.currentPoint.x, y - state.currentPoint.y};
        return;
    }

    // Drag the start point with the pointer: the measured vector stays.
    const int64_t moveX = int64_t(x) - lastPointer.x;
    const int64_t moveY = int64_t(y) - lastPointer.y;
    state.currentPoint = pointer;
    Point s{Saturate(freeStart.x + moveX), Saturate(freeStart.y + moveY)};

    // Keep the start point on the desktop, unless the pointer itself has left
    // it (then there is nothing sensible to clamp against).
    const Rect r = keepOnScreen ? VirtualScreenRect() : Rect{};
    if (keepOnScreen && !Inside(r, s) && Inside(r, pointer)) {
        if (s.x < r.left) s.x = r.left;
        if (s.x > r.right - 1) s.x = r.right - 1;
        if (s.y < r.top) s.y = r.top;
        if (s.y > r.bottom - 1) s.y = r.bottom - 1;
    }
    state.startPoint = snapped(s);
    state.startOffset = {s.x - state.startPoint.x, s.y - state.startPoint.y};
}

MeasureReadout ReadMeasurement(const MeasureState& state) {
    MeasureReadout out;
    out.dx = int64_t(state.startPoint.x) - state.currentPoint.x;
    out.dy = int64_t(state.startPoint.y) - state.currentPoint.y;
    const double dx = double(out.dx);
    const double dy = double(out.dy);
    out.length = std::sqrt(dy * dy + dx * dx);
    const double offset = state.reflectionMode ? 0.0 : state.referenceAngle.load();
    out.shownAngle = Bearing(state.startPoint, state.currentPoint, offset);
    return out;
}
