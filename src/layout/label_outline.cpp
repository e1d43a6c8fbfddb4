#include "layout/label_outline.h"

#include <algorithm>
#include <cstring>

std::vector<uint8_t> OutlineCoverage(const uint8_t* pixels, size_t pixelCount) {
    std::vector<uint8_t> coverage(pixelCount);
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t* p = pixels + i * 4;
        coverage[i] = std::max({p[0], p[1], p[2]});
    }
    return coverage;
}

void FillOpaqueWhite(uint8_t* pixels, size_t pixelCount) { std::memset(pixels, 0xFF, pixelCount * 4); }

void ComposeOutlinedText(uint8_t* pixels, size_t pixelCount, const std::vector<uint8_t>& outline) {
    const size_t n = std::min(pixelCount, outline.size());
    for (size_t i = 0; i < n; ++i) {
        uint8_t* p = pixels + i * 4;
        const unsigned text = 255u - std::min({p[0], p[1], p[2]});
        // White outline seen through the part of the pixel the text leaves
        // free; the text itself adds black, that is alpha only.
        const unsigned white = (outline[i] * (255u - text) + 127u) / 255u;
        p[0] = p[1] = p[2] = uint8_t(white);
        p[3] = uint8_t(text + white);
    }
    // Pixels without an outline value stay clear.
    if (pixelCount > n) std::memset(pixels + n * 4, 0, (pixelCount - n) * 4);
}
