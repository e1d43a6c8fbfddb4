#include "layout/loupe_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "layout/dpi_scale.h"

namespace loupe {

namespace {

constexpr uint32_t BorderGrey = 0xFF404040;
constexpr uint32_t Opaque = 0xFF000000;
constexpr uint32_t Black = 0xFF000000;
constexpr uint32_t White = 0xFFFFFFFF;

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Overlap(const Rect& a, const Rect& b) {
    if (IsEmpty(a) || IsEmpty(b)) return false;
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Rect Moved(const Rect& r, int32_t x, int32_t y) { return {r.left + x, r.top + y, r.right + x, r.bottom + y}; }

// Shifted into the desktop; a window larger than the desktop keeps its
// top-left corner in it.
Rect Inside(Rect r, const Rect& v) {
    if (r.right > v.right) r = Moved(r, v.right - r.right, 0);
    if (r.left < v.left) r = Moved(r, v.left - r.left, 0);
    if (r.bottom > v.bottom) r = Moved(r, 0, v.bottom - r.bottom);
    if (r.top < v.top) r = Moved(r, 0, v.top - r.top);
    return r;
}

void Fill(uint32_t* out, int32_t stride, const Rect& r, uint32_t colour) {
    for (int32_t y = r.top; y < r.bottom; ++y) std::fill(out + y * stride + r.left, out + y * stride + r.right, colour);
}

}  // namespace

int32_t UsableZoom(int32_t stored) { return stored >= MinZoom && stored <= MaxZoom ? stored : DefaultZoom; }

int32_t UsableSize(int32_t stored) { return stored >= MinSize && stored <= MaxSize ? stored | 1 : DefaultSize; }

Rect SourceSquare(Point pointer, int32_t size) {
    const int32_t left = pointer.x - size / 2;
    const int32_t top = pointer.y - size / 2;
    return {left, top, left + size, top + size};
}

Rect ExtentWithSquare(const Rect& e, Point p, const Rect& s) {
    // One more on the left: a label placed left of the pointer ends on the
    // extent's leftmost column itself.
    return {std::min(e.left, s.left - 1 - p.x), std::min(e.top, s.top - p.y), std::max(e.right, s.right - 1 - p.x),
            std::max(e.bottom, s.bottom - 1 - p.y)};
}

Layout PlaceLoupe(const PlacementInput& in) {
    Layout l;
    // A large zoom on a small or high-DPI desktop would leave no room beside
    // the pointer: the squares shrink until the image takes at most half the
    // desktop's shorter side.
    const Rect& v = in.virtualScreen;
    const int32_t room = std::min(v.right - v.left, v.bottom - v.top) / 2 / std::max(in.size, 1);
    l.cell = std::max(1, std::min(ScaleForDpi(in.zoom, in.dpi), room));
    l.frame = ScaleForDpi(1, in.dpi);
    const int32_t pad = ScaleForDpi(2, in.dpi);
    const int32_t side = in.size * l.cell;
    const int32_t width = std::max(side, in.textWidth + 2 * pad) + 2 * l.frame;
    const int32_t height = side + in.textHeight + 2 * pad + 3 * l.frame;
    l.image = {(width - side) / 2, l.frame, (width - side) / 2 + side, l.frame + side};
    l.text = {l.frame, l.image.bottom + l.frame, width - l.frame, height - l.frame};
    l.source = SourceSquare(in.pointer, in.size);

    // Kept free: the pointer image and the magnified square, with a gap.
    const Point p = in.pointer;
    const Rect& s = l.source;
    const Rect& e = in.pointerExtent;
    const Rect keep{std::min(s.left, p.x + e.left) - in.gap, std::min(s.top, p.y + e.top) - in.gap,
                    std::max(s.right, p.x + e.right + 1) + in.gap, std::max(s.bottom, p.y + e.bottom + 1) + in.gap};

    const bool hasLabel = !IsEmpty(in.label);
    const bool labelRight = hasLabel && in.label.left + in.label.right >= 2 * p.x;
    const bool preferRight = hasLabel ? labelRight : p.x >= in.startX;
    std::vector<Rect> tries;
    for (const bool right : {preferRight, !preferRight}) {
        // Beside the label's near edge when it is on this side, never nearer.
        int32_t x = right ? keep.right : keep.left - width;
        std::vector<int32_t> ys{p.y - height / 2};
        if (hasLabel && right == labelRight) {
            x = right ? std::max(x, in.label.left) : std::min(x, in.label.right - width);
            ys = {in.label.bottom + in.gap, in.label.top - in.gap - height};
        }
        for (const int32_t y : ys) tries.push_back(Inside({x, y, x + width, y + height}, in.virtualScreen));
    }
    l.window = tries.front();
    for (const Rect& r : tries) {
        if (!Overlap(r, keep) && !Overlap(r, in.label)) {
            l.window = r;
            break;
        }
    }
    return l;
}

std::string ColourText(uint32_t pixel) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", unsigned(pixel & 0xFFFFFF));
    return text;
}

void ComposeLoupe(const Layout& l, const uint32_t* source, uint32_t* out) {
    const int32_t stride = l.window.right - l.window.left;
    Fill(out, stride, {0, 0, stride, l.window.bottom - l.window.top}, BorderGrey);
    Fill(out, stride, l.text, White);
    const int32_t size = l.source.right - l.source.left;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const int32_t left = l.image.left + x * l.cell;
            const int32_t top = l.image.top + y * l.cell;
            Fill(out, stride, {left, top, left + l.cell, top + l.cell}, Opaque | source[y * size + x]);
        }
    }
    // The frame lies around the centre pixel, which keeps its whole square.
    const uint32_t centre = source[(size / 2) * size + size / 2];
    const uint32_t r = (centre >> 16) & 0xFF, g = (centre >> 8) & 0xFF, b = centre & 0xFF;
    const uint32_t frame = r * 299 + g * 587 + b * 114 >= 128000 ? Black : White;
    const int32_t c0x = l.image.left + (size / 2) * l.cell;
    const int32_t c0y = l.image.top + (size / 2) * l.cell;
    const Rect outer{c0x - l.frame, c0y - l.frame, c0x + l.cell + l.frame, c0y + l.cell + l.frame};
    Fill(out, stride, {outer.left, outer.top, outer.right, c0y}, frame);
    Fill(out, stride, {outer.left, c0y + l.cell, outer.right, outer.bottom}, frame);
    Fill(out, stride, {outer.left, c0y, c0x, c0y + l.cell}, frame);
    Fill(out, stride, {c0x + l.cell, c0y, outer.right, c0y + l.cell}, frame);
}

std::optional<Segment> LineEnd(const Layout& l, Point start, Point pointer) {
    // Pixel centres in window coordinates.
    auto centreOf = [&](Point q, double& x, double& y) {
        x = l.image.left + (q.x - l.source.left + 0.5) * l.cell;
        y = l.image.top + (q.y - l.source.top + 0.5) * l.cell;
    };
    double sx, sy, cx, cy;
    centreOf(start, sx, sy);
    centreOf(pointer, cx, cy);
    const double reach = l.cell / 2.0 + l.frame;
    const double dx = cx - sx, dy = cy - sy;
    // The line enters the frame's box where it has crossed both its
    // vertical and its horizontal band.
    double t = 0.0;
    if (dx != 0.0) t = std::max(t, (std::abs(dx) - reach) / std::abs(dx));
    if (dy != 0.0) t = std::max(t, (std::abs(dy) - reach) / std::abs(dy));
    if (std::abs(dx) <= reach && std::abs(dy) <= reach) return std::nullopt;
    return Segment{sx, sy, sx + t * dx, sy + t * dy};
}

}  // namespace loupe
