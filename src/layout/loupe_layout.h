// The loupe: while the slow key is held, the screen around the pointer
// magnified beside it, each screen pixel an exact square, the pointer's pixel
// framed, the measured line's end marked and that pixel's colour written
// under it as #RRGGBB. Here is what needs no Windows: its settings, where it
// goes and its pixels.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"

namespace loupe {

constexpr int32_t DefaultZoom = 8;  // screen pixels per magnified pixel at 96 DPI
constexpr int32_t MinZoom = 2;
constexpr int32_t MaxZoom = 16;
constexpr int32_t DefaultSize = 15;  // magnified pixels across
constexpr int32_t MinSize = 9;
constexpr int32_t MaxSize = 31;

// Stored values outside their range fall back to the default; an even size
// grows by one, so that the pointer's pixel sits in the middle.
int32_t UsableZoom(int32_t stored);
int32_t UsableSize(int32_t stored);

// The size x size desktop square centred on the pointer's pixel.
Rect SourceSquare(Point pointer, int32_t size);
// A pointer extent (relative to the hotspot, right/bottom inclusive) grown
// to cover the square as well: the label keeps clear of both.
Rect ExtentWithSquare(const Rect& extent, Point pointer, const Rect& square);

struct PlacementInput {
    Point pointer;
    int32_t startX = 0;     // the loupe goes to the side away from the start, as the label
    Rect pointerExtent;     // visible pointer pixels around the hotspot, right/bottom inclusive
    Rect label;             // the label this frame, empty when it is hidden
    Rect virtualScreen;
    int32_t size = DefaultSize;  // usable values
    int32_t zoom = DefaultZoom;
    int32_t dpi = 96;
    int32_t gap = 4;        // kept free around the pointer, as for the label
    int32_t textWidth = 0;  // the colour text
    int32_t textHeight = 0;
};

struct Layout {
    Rect window;        // on the desktop
    Rect source;        // the magnified desktop square
    Rect image;         // the magnified square, in window coordinates
    Rect text;          // the strip of the colour text, in window coordinates
    int32_t cell = 8;   // screen pixels per magnified pixel
    int32_t frame = 1;  // the border's and the centre frame's width
};

// Beside the pointer, away from the start point, below or above the label;
// its squares smaller than zoom asks where the desktop has too little room;
// never over the pointer image, the magnified square or the label; inside the
// desktop (when it fits at all).
Layout PlaceLoupe(const PlacementInput& in);

// "#RRGGBB" of a pixel 0xAARRGGBB (the alpha byte is ignored).
std::string ColourText(uint32_t pixel);

// The window's pixels (0xAARRGGBB, all opaque) but the text and the line:
// the border, the magnified source (size x size pixels, row by row from the
// top), the frame around the centre pixel in black or white, whichever
// stands out from it, and the text strip in white.
void ComposeLoupe(const Layout& layout, const uint32_t* source, uint32_t* out);

// The measured line in window coordinates, from its start (usually far
// outside: the drawing clips it) to where it meets the centre frame; nothing
// when the start lies within the frame.
struct Segment {
    double x1, y1, x2, y2;
};
std::optional<Segment> LineEnd(const Layout& layout, Point start, Point pointer);

}  // namespace loupe
