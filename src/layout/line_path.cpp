#include "layout/line_path.h"

#include <cassert>
#include <cmath>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

// Rounded coordinates are kept within +-2^30: far beyond any desktop, so the
// cut to the virtual desktop is unchanged, and the caller's margin and the
// exclusive right and bottom cannot overflow. Paths reach such values only
// from a start point stored far off the desktop.
constexpr double kCoordinateLimit = 1073741824.0;

double RoundHalfAway(double v) { return v >= 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5); }

int32_t ToBoundsCoordinate(double rounded) {
    if (!(rounded > -kCoordinateLimit)) return -int32_t(kCoordinateLimit);  // also NaN
    if (rounded > kCoordinateLimit) return int32_t(kCoordinateLimit);
    return int32_t(rounded);
}

}  // namespace

int64_t BreakColour(const PathEntry& e) {
    if (!(e.y >= 0.0)) return -1;
    // The colour sits in the low 32 bits of the 64-bit conversion; values
    // beyond its range carry none.
    if (e.y >= 9223372036854775808.0) return -1;
    return int64_t(uint32_t(uint64_t(int64_t(e.y))));
}

void LinePath::Append(double x, double y) {
    assert(count < capacity);
    if (count >= capacity) return;
    entries[size_t(count)] = {x, y};
    ++count;
}

void RotateAbout(PathEntry& p, PathEntry centre, double degrees) {
    if (IsBreak(p)) return;
    const double a = degrees * kRadiansPerDegree;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double u = p.x - centre.x;
    const double v = p.y - centre.y;
    p.x = u * c - v * s + centre.x;
    p.y = u * s + v * c + centre.y;
}

LinePath BuildLinePath(Point start, Point current, double referenceAngle, const PathSettings& settings) {
    // The load made the count usable; taken through the same rule again
    // because it sizes the fixed list.
    const int32_t reflections = UsableReflectionCount(settings.refnr);
    // An angle without a direction (only from a damaged setting) draws as 0.
    const double r = std::isfinite(referenceAngle) ? referenceAngle : 0.0;
    const PathEntry s{double(start.x), double(start.y)};
    PathEntry p0{double(current.x), double(current.y)};

    // Work in a frame turned so that the reflection lines are vertical.
    if (r != 0.0) RotateAbout(p0, s, -r);
    const bool lines = settings.reflines && reflections > 0;

    LinePath path;
    path.capacity = (reflections + 2) + (lines ? 6 : 0) + (settings.cross0 ? 12 : 0);
    path.Append(s.x, s.y);

    // The ray leaves the start point through the pointer and bounces between
    // x = p0.x and x = 2 s.x - p0.x; each reflected segment is twice as long
    // as the measured line.
    PathEntry q = p0;
    for (int32_t i = 0; i <= reflections; ++i) {
        path.Append(q.x, q.y);
        q.x = 2.0 * s.x - q.x;
        q.y = q.y + 2.0 * (p0.y - s.y);
    }

    if (lines) {
        // Both lines run from the start point's height to the last
        // reflection point's height.
        const PathEntry last = path.entries[size_t(path.count - 1)];
        const PathEntry r1 = path.entries[2];
        path.AppendBreak(kReflectionLineColour);
        path.Append(p0.x, s.y);
        path.Append(p0.x, last.y);
        path.AppendBreak(kReflectionLineColour);
        path.Append(r1.x, s.y);
        path.Append(r1.x, last.y);
    }

    if (r != 0.0) {
        for (int32_t i = 1; i < path.count; ++i) RotateAbout(path.entries[size_t(i)], s, r);
    }

    if (settings.cross0) {
        // Four arms, not turned, leaving the centre pixel free.
        const double arms[4][4] = {
            {s.x, s.y - 1, s.x, s.y - 6},
            {s.x, s.y + 1, s.x, s.y + 6},
            {s.x - 1, s.y, s.x - 6, s.y},
            {s.x + 1, s.y, s.x + 6, s.y},
        };
        for (const auto& arm : arms) {
            path.AppendBreak(kCrossColour);
            path.Append(arm[0], arm[1]);
            path.Append(arm[2], arm[3]);
        }
    }
    return path;
}

LinePath BuildLinePath(const MeasureState& state, const PathSettings& settings) {
    return BuildLinePath(state.startPoint, state.currentPoint, state.referenceAngle.load(), settings);
}

bool ClipSegment(PathEntry& a, PathEntry& b, double left, double top, double right, double bottom) {
    // Liang-Barsky: the segment is a + t (b - a) for t in 0..1; each edge of
    // the box narrows the range of t inside it.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    double t0 = 0.0;
    double t1 = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    if (!(t0 <= t1)) return false;  // NaN coordinates too
    const PathEntry from = a;
    if (t0 > 0.0) a = {from.x + t0 * dx, from.y + t0 * dy};
    if (t1 < 1.0) b = {from.x + t1 * dx, from.y + t1 * dy};
    return true;
}

Rect PathBounds(const LinePath& path) {
    if (path.count < 2) return Rect{};
    const PathEntry& first = path.entries[0];
    int32_t left = ToBoundsCoordinate(RoundHalfAway(first.x));
    int32_t top = ToBoundsCoordinate(RoundHalfAway(first.y));
    int32_t right = left;
    int32_t bottom = top;
    for (int32_t i = 1; i < path.count; ++i) {
        const PathEntry& e = path.entries[size_t(i)];
        const double rx = RoundHalfAway(e.x);
        if (rx == kBreakX) continue;
        const int32_t x = ToBoundsCoordinate(rx);
        const int32_t y = ToBoundsCoordinate(RoundHalfAway(e.y));
        if (x < left) left = x;
        if (x > right) right = x;
        if (y < top) top = y;
        if (y > bottom) bottom = y;
    }
    return Rect{left, top, right + 1, bottom + 1};
}
