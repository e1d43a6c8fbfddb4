#include "layout/label_text.h"

#include <algorithm>
#include <cmath>

#include "layout/dpi_scale.h"

int32_t LabelGap(double linethick, int32_t dpi) { return int32_t(std::ceil(linethick)) + ScaleForDpi(3, dpi); }

Rect PlaceLabel(const LabelPlacementInput& in) {
    const int32_t outline = LabelOutlineWidth(in.dpi);
    const int32_t width = in.textWidth + 2 * outline;
    const int32_t height = in.textHeight + 2 * outline;
    const int32_t gap = LabelGap(in.linethick, in.dpi);
    const Rect& v = in.virtualScreen;
    const Point p = in.pointer;

    // Vertically centred on the pointer; gap pixels (or the pointer image)
    // between the pointer and the label's near edge.
    auto attempt = [&](bool left) {
        const int32_t x = left ? p.x - std::max(gap, -in.pointerExtent.left) + 1 - width
                               : p.x + std::max(gap, in.pointerExtent.right) + 1;
        const int32_t y = p.y + 1 - height / 2;
        return Rect{x, y, x + width, y + height};
    };
    auto fits = [&](const Rect& r) { return r.left >= v.left && r.right < v.right; };

    const bool leftFirst = p.x < in.startX;
    Rect label = attempt(leftFirst);
    if (!fits(label)) label = attempt(!leftFirst);

    auto shift = [](Rect& r, int32_t x, int32_t y) {
        r.left += x;
        r.right += x;
        r.top += y;
        r.bottom += y;
    };
    if (label.left < v.left) shift(label, v.left - label.left, 0);
    if (label.right >= v.right) shift(label, v.right - label.right, 0);
    if (label.top < v.top) shift(label, 0, v.top - label.top);
    if (label.bottom >= v.bottom) shift(label, 0, v.bottom - label.bottom);
    return label;
}
