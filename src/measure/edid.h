// The physical size a monitor reports in its EDID block. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

struct EdidImageSize {
    int32_t widthMm = 0;
    int32_t heightMm = 0;
};

// The image size from an EDID (the base block of 128 bytes with a valid
// header and checksum, and any extension blocks after it, which are not
// read): the first detailed timing descriptor's millimetres (bytes 66-68)
// when they agree with the centimetres of bytes 21-22, which are used
// otherwise. Centimetres that give only the screen's shape (one of them 0,
// or a pair such as 16 x 9 that some sets store) neither count as a size
// nor overrule the descriptor. None for a block that is damaged or gives no
// size (a projector reports 0 x 0).
std::optional<EdidImageSize> DecodeEdidImageSize(const uint8_t* bytes, size_t size);

// Pixels per inch of a monitor of widthPixels x heightPixels showing that
// image. A monitor turned to portrait still reports its landscape size, so
// the longer side in pixels goes with the longer side in millimetres.
std::optional<double> EdidPixelsPerInch(const EdidImageSize& image, int32_t widthPixels, int32_t heightPixels);
