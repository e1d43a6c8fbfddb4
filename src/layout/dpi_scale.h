// Sizes that follow the DPI of the monitor under the pointer. The program
// draws in physical pixels; every size written here as a constant is its
// size at 96 DPI (100 %), where everything keeps exactly today's look.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/types.h"

constexpr int32_t BaseDpi = 96;

// A DPI the system reported, or 96 when it is no plausible monitor DPI
// (a failed query gives 0).
int32_t UsableDpi(int32_t dpi);

// pixels at 96 DPI scaled to dpi, rounded half away from zero (as MulDiv).
int32_t ScaleForDpi(int32_t pixels, int32_t dpi);

// A LOGFONT height made for fromDpi, for drawing at toDpi. The sign (cell
// or character height) is kept, 0 ("any height") stays 0, and a non-zero
// height never becomes 0.
int32_t ScaleFontHeight(int32_t height, int32_t fromDpi, int32_t toDpi);

// The label's white outline: how many pixels it reaches around the text,
// and the text's offsets that draw it (all within that reach).
int32_t LabelOutlineWidth(int32_t dpi);
std::vector<Point> LabelOutlineOffsets(int32_t width);
