#include "measure/edid.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint8_t Header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t BlockSize = 128;
constexpr size_t WidthCm = 21, HeightCm = 22;
constexpr size_t FirstDescriptor = 54;
// Smaller "sizes" are aspect ratios (16 x 9 mm) or placeholders, not a screen.
constexpr int32_t MinImageMm = 30;

bool ValidBlock(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < BlockSize) return false;
    for (size_t i = 0; i < sizeof Header; ++i) {
        if (bytes[i] != Header[i]) return false;
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < BlockSize; ++i) sum = uint8_t(sum + bytes[i]);
    return sum == 0;
}

// EDID 1.4 stores an aspect ratio with the other byte 0; some older sets
// store the ratio itself as if it were centimetres.
bool OnlyAShape(int32_t widthCm, int32_t heightCm) {
    constexpr int32_t Ratios[][2] = {{16, 9}, {16, 10}, {4, 3}, {5, 4}, {21, 9}};
    if (widthCm == 0 || heightCm == 0) return true;
    for (const auto& ratio : Ratios) {
        if (widthCm == ratio[0] && heightCm == ratio[1]) return true;
    }
    return false;
}

bool Plausible(const EdidImageSize& size) { return size.widthMm >= MinImageMm && size.heightMm >= MinImageMm; }

}  // namespace

std::optional<EdidImageSize> DecodeEdidImageSize(const uint8_t* bytes, size_t size) {
    if (!ValidBlock(bytes, size)) return std::nullopt;
    const bool shapeOnly = OnlyAShape(bytes[WidthCm], bytes[HeightCm]);
    const EdidImageSize fromCm{bytes[WidthCm] * 10, bytes[HeightCm] * 10};

    // A detailed timing descriptor has a pixel clock; the others start 00 00.
    const uint8_t* d = bytes + FirstDescriptor;
    if (d[0] != 0 || d[1] != 0) {
        const EdidImageSize fromMm{d[12] | ((d[14] & 0xF0) << 4), d[13] | ((d[14] & 0x0F) << 8)};
        // The centimetres are rounded: a millimetre size within 1 cm of
        // them is the same screen, measured more exactly.
        const bool agrees = shapeOnly || (std::abs(fromMm.widthMm - fromCm.widthMm) <= 10 &&
                                          std::abs(fromMm.heightMm - fromCm.heightMm) <= 10);
        if (Plausible(fromMm) && agrees) return fromMm;
    }
    if (!shapeOnly && Plausible(fromCm)) return fromCm;
    return std::nullopt;
}

std::optional<double> EdidPixelsPerInch(const EdidImageSize& image, int32_t widthPixels, int32_t heightPixels) {
    const int32_t longMm = std::max(image.widthMm, image.heightMm);
    const int32_t longPixels = std::max(widthPixels, heightPixels);
    if (longMm <= 0 || longPixels <= 0) return std::nullopt;
    return double(longPixels) * 25.4 / double(longMm);
}
