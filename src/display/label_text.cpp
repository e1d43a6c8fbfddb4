#include "display/label_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string FormatLabelText(double dx, double dy, double length, double shownAngle, bool reflectionMode) {
    // The degree sign is U+00B0, two bytes in UTF-8.
    const char* format = reflectionMode ? "%gx%g %.1lf [%.1lf\xC2\xB0]" : "%gx%g %.1lf %.1lf\xC2\xB0";
    // A pointer straight above the start point gives -0, a hair beside it a
    // tiny negative angle; both would show as "-0.0", a sign on nothing.
    if (std::fabs(shownAngle) < 0.05) shownAngle = 0.0;
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, std::fabs(dx), std::fabs(dy), length, shownAngle);
    if (n < 0) return {};
    return std::string(buffer, size_t(std::min<int>(n, int(sizeof buffer) - 1)));
}

int32_t LabelGap(double linethick) { return int32_t(std::ceil(linethick)) + 3; }

Rect PlaceLabel(const LabelPlacementInput& in) {
    const int32_t w = in.textWidth;
    const int32_t h = in.textHeight;
    const int32_t gap = LabelGap(in.linethick);
    const int32_t half = (h + 2) / 2;
    const Rect& v = in.virtualScreen;
    const Point p = in.pointer;

    // The text rectangle in label coordinates is (1, 1, w + 3, h + 3); each
    // attempt shifts it beside the pointer.
    auto attempt = [&](bool left) {
        const int32_t dx = left ? p.x - std::max(gap, -in.pointerExtent.left) - (w + 3) + 1
                                : p.x + std::max(gap, in.pointerExtent.right);
        const int32_t dy = p.y - half;
        return Rect{1 + dx, 1 + dy, w + 3 + dx, h + 3 + dy};
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
