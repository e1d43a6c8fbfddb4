#include "measure/edid.h"

#include <cstdlib>

namespace {

constexpr uint8_t Header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t BlockSize = 128;
constexpr size_t WidthCm = 21, HeightCm = 22;
constexpr size_t FirstDescriptor = 54;
// Smaller "sizes" are aspect ratios (16 x 9) or placeholders, not a screen.
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

}  // namespace

std::optional<EdidImageSize> DecodeEdidImageSize(const uint8_t* bytes, size_t size) {
    if (!ValidBlock(bytes, size)) return std::nullopt;
    const EdidImageSize fromCm{bytes[WidthCm] * 10, bytes[HeightCm] * 10};

    // A detailed timing descriptor has a pixel clock; the others start 00 00.
    const uint8_t* d = bytes + FirstDescriptor;
    if (d[0] != 0 || d[1] != 0) {
        const EdidImageSize fromMm{d[12] | ((d[14] & 0xF0) << 4), d[13] | ((d[14] & 0x0F) << 8)};
        // The centimetres are rounded: a millimetre size within 1 cm of
        // them is the same screen, measured more exactly.
        const bool agrees = fromCm.widthMm == 0 || (std::abs(fromMm.widthMm - fromCm.widthMm) <= 10 &&
                                                    std::abs(fromMm.heightMm - fromCm.heightMm) <= 10);
        if (fromMm.widthMm >= MinImageMm && fromMm.heightMm >= MinImageMm && agrees) return fromMm;
    }
    if (fromCm.widthMm >= MinImageMm && fromCm.heightMm >= MinImageMm) return fromCm;
    return std::nullopt;
}

std::optional<double> EdidPixelsPerInch(const EdidImageSize& image, int32_t widthPixels) {
    if (image.widthMm <= 0 || widthPixels <= 0) return std::nullopt;
    return double(widthPixels) * 25.4 / double(image.widthMm);
}
