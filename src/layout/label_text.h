// Where the numbers label goes beside the pointer.
#pragma once
#include <cstdint>

#include "platform/types.h"

// What the placement needs to know.
struct LabelPlacementInput {
    int32_t textWidth = 0;      // w: the text's width in pixels
    int32_t textHeight = 0;     // h: its height
    Point pointer;              // the current point
    int32_t startX = 0;         // the start point's x: the label goes to the other side
    Rect pointerExtent;         // visible pointer pixels relative to the hotspot, right/bottom inclusive
    Rect virtualScreen;         // the desktop, right/bottom exclusive
    double linethick = 1.0;     // the line width setting; widens the gap
    int32_t dpi = 96;           // of the monitor under the pointer: outline and gap
};

// The gap between pointer and label: ceil(linethick) + 3 at 96 DPI, for a
// usable line width (settings/usable_values.h); the 3 grows with dpi, the
// line's part does not (the line itself does not scale).
int32_t LabelGap(double linethick, int32_t dpi = 96);

// The label's rectangle on the desktop (w + 2k by h + 2k pixels for an
// outline of k pixels, right/bottom exclusive): beside the pointer, away
// from the start point, clear of the pointer image, and shifted to stay
// inside the desktop.
Rect PlaceLabel(const LabelPlacementInput& in);
