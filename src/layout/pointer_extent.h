// How far the pointer image reaches around its hotspot, found from the
// pointer's mask and colour bits. The bits are plain byte buffers here; the
// Win32 side reads them from the pointer's bitmaps.
#pragma once
#include <cstdint>
#include <optional>

#include "platform/types.h"

// The visible part of the pointer image relative to the hotspot; right and
// bottom are inclusive (the last visible column and row). All zero: no
// pointer known.
using PointerExtent = Rect;

// The size of one of the pointer's bitmaps as the system reports it.
struct PointerBitmapShape {
    bool present = false;
    int32_t width = 0;
    int32_t height = 0;      // taken as an absolute value
    int32_t bytesPerRow = 0;
};

// Whether the bitmaps have the layout the analysis reads: a square cell of a
// multiple of 32 pixels, a 1-bit mask of cy or 2 * cy rows, a 32-bit colour
// bitmap of cy rows, and at least one of the two.
bool PointerBitmapsFit(int32_t cx, int32_t cy, const PointerBitmapShape& mask, const PointerBitmapShape& color);

// The whole pointer cell, the answer whenever the bits cannot be analysed.
PointerExtent WholePointerCell(int32_t cx, int32_t cy, int32_t hotspotX, int32_t hotspotY);

// The pixels of a pointer of cell size `size` (a multiple of 32), read
// top-down. mask: 1 bit per pixel, most significant bit leftmost, size / 8
// bytes per row, `maskRows` rows (size for colour pointers; 2 * size for
// monochrome ones, AND rows above XOR rows); nullptr when there is no mask.
// color: blue, green, red, alpha bytes, size rows of size pixels; nullptr
// when there is none.
struct PointerBits {
    int32_t size = 0;
    const uint8_t* mask = nullptr;
    int32_t maskRows = 0;
    const uint8_t* color = nullptr;
};

// The bounding box of the visible pixels in cell coordinates (right and
// bottom exclusive), or nothing when no pixel is visible. A mask bit 1 leaves
// the screen unchanged, except where the XOR bit inverts it; a colour pixel
// is visible by its alpha, or, when the image has no alpha at all, when it is
// white (which inverts the screen under the mask).
std::optional<Rect> VisiblePointerBox(const PointerBits& bits);

// The box as an extent around the hotspot.
PointerExtent ExtentFromBox(const Rect& box, int32_t hotspotX, int32_t hotspotY);

// The extent of a pointer image of cell size cx by cy with its hotspot, from
// its visible pixels; the whole cell when its bits could not be read (nullptr),
// have an unexpected layout or show nothing.
PointerExtent MeasurePointerImage(int32_t cx, int32_t cy, int32_t hotspotX, int32_t hotspotY,
                                  const PointerBits* bits);

// The extent of a pointer shape, an HCURSOR (Win32; cached per shape); none
// for 0, the shape of a hidden pointer.
PointerExtent MeasurePointerExtent(uintptr_t shape);
