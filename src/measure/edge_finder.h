// Finding edges in what the screen shows, for snapping the measured point to
// them and for the space around the pointer. Platform-free.
//
// A pixel is "different" when one of its channels differs from the pixel
// under the pointer by more than the tolerance; an edge lies between two
// neighbouring pixels of which one is different and the other is not. Only
// the pointer's row and column are looked at, within the image (the monitor
// under the pointer): its bounds are not edges.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

// A screen image: 0x00RRGGBB pixels row by row over bounds.
struct ScreenPixels {
    Rect bounds;
    std::vector<uint32_t> pixels;
    uint32_t At(int32_t x, int32_t y) const {
        return pixels[size_t(y - bounds.top) * size_t(bounds.right - bounds.left) + size_t(x - bounds.left)];
    }
};

constexpr int32_t DefaultEdgeTolerance = 30;  // "edgetolerance", 0..255
constexpr int32_t DefaultSnapRadius = 12;     // "snapradius", 1..64 pixels
// Stored values out of range count as the default.
int32_t UsableEdgeTolerance(int32_t stored);
int32_t UsableSnapRadius(int32_t stored);

// The runs of pixels through p that are not different from p's pixel: on
// p's row from left to right (exclusive), on its column from top to bottom
// (exclusive); they end at an edge or at the image's bounds. An empty
// rectangle when p lies outside the image.
Rect SameColourRuns(const ScreenPixels& image, Point p, int32_t tolerance);

// p moved to the nearest edge on its row (giving x) and on its column
// (giving y), each at most radius pixels away; a coordinate without such an
// edge stays as it is. An edge between columns k-1 and k snaps to column k
// (rows likewise), so that the two ends of an element measure its size in
// whole pixels; of two edges equally far, the left (upper) one wins.
Point SnapToEdges(const ScreenPixels& image, Point p, int32_t tolerance, int32_t radius);
