#include "measure/edge_finder.h"

#include <cstdlib>

namespace {

bool Differs(uint32_t a, uint32_t b, int32_t tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(int32_t((a >> shift) & 0xFF) - int32_t((b >> shift) & 0xFF)) > tolerance) return true;
    }
    return false;
}

// The nearer of the run's two ends, as an edge within radius of at: low is
// the run's first pixel (an edge when the pixel before it is in the image),
// high the first pixel after it (an edge when it is in the image).
int32_t NearestEnd(int32_t at, int32_t low, int32_t high, int32_t first, int32_t end, int32_t radius) {
    const bool lowEdge = low > first && at - low <= radius;
    const bool highEdge = high < end && high - at <= radius;
    if (lowEdge && (!highEdge || at - low <= high - at)) return low;
    return highEdge ? high : at;
}

}  // namespace

int32_t UsableEdgeTolerance(int32_t stored) { return stored >= 0 && stored <= 255 ? stored : DefaultEdgeTolerance; }

int32_t UsableSnapRadius(int32_t stored) { return stored >= 1 && stored <= 64 ? stored : DefaultSnapRadius; }

Rect SameColourRuns(const ScreenPixels& image, Point p, int32_t tolerance) {
    const Rect& b = image.bounds;
    if (!Inside(b, p) || image.pixels.size() < size_t(b.right - b.left) * size_t(b.bottom - b.top)) return Rect{};
    const uint32_t here = image.At(p.x, p.y);
    Rect run{p.x, p.y, p.x + 1, p.y + 1};
    while (run.left > b.left && !Differs(image.At(run.left - 1, p.y), here, tolerance)) --run.left;
    while (run.right < b.right && !Differs(image.At(run.right, p.y), here, tolerance)) ++run.right;
    while (run.top > b.top && !Differs(image.At(p.x, run.top - 1), here, tolerance)) --run.top;
    while (run.bottom < b.bottom && !Differs(image.At(p.x, run.bottom), here, tolerance)) ++run.bottom;
    return run;
}

Point SnapToEdges(const ScreenPixels& image, Point p, int32_t tolerance, int32_t radius) {
    const Rect run = SameColourRuns(image, p, tolerance);
    if (run.right <= run.left) return p;
    const Rect& b = image.bounds;
    return {NearestEnd(p.x, run.left, run.right, b.left, b.right, radius),
            NearestEnd(p.y, run.top, run.bottom, b.top, b.bottom, radius)};
}
