// The physical size a monitor reports in its EDID block. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

struct EdidImageSize {
    int32_t widthMm = 0;
    int32_t heightMm = 0;
};

// The image size from a base EDID block (at least 128 bytes with a valid
// header and checksum): the first detailed timing descriptor's millimetres
// (bytes 66-68) when they agree with the centimetres of bytes 21-22, which
// are used otherwise. None for a block that is damaged or gives no size
// (a projector reports 0 x 0; some sets put the aspect ratio there).
std::optional<EdidImageSize> DecodeEdidImageSize(const uint8_t* bytes, size_t size);

// Pixels per inch across a monitor widthPixels wide showing that image.
std::optional<double> EdidPixelsPerInch(const EdidImageSize& image, int32_t widthPixels);
