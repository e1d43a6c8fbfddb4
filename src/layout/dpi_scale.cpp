#include "layout/dpi_scale.h"

#include <cstdlib>

namespace {

// Windows offers 100 % to 500 %; anything far outside is a failed query.
constexpr int32_t MinDpi = 48;
constexpr int32_t MaxDpi = 960;

int32_t MulDivRounded(int32_t value, int32_t numerator, int32_t denominator) {
    const int64_t product = int64_t(value) * numerator;
    const int64_t magnitude = (std::llabs(product) + denominator / 2) / denominator;
    return int32_t(product < 0 ? -magnitude : magnitude);
}

}  // namespace

int32_t UsableDpi(int32_t dpi) { return dpi >= MinDpi && dpi <= MaxDpi ? dpi : BaseDpi; }

int32_t ScaleForDpi(int32_t pixels, int32_t dpi) { return MulDivRounded(pixels, UsableDpi(dpi), BaseDpi); }

int32_t ScaleFontHeight(int32_t height, int32_t fromDpi, int32_t toDpi) {
    const int32_t scaled = MulDivRounded(height, UsableDpi(toDpi), UsableDpi(fromDpi));
    if (scaled == 0 && height != 0) return height < 0 ? -1 : 1;
    return scaled;
}

int32_t LabelOutlineWidth(int32_t dpi) { return ScaleForDpi(1, dpi); }

std::vector<Point> LabelOutlineOffsets(int32_t width) {
    // At one pixel, the eight neighbours in the order the label has always
    // drawn them; wider outlines fill the whole square around the text.
    if (width <= 1) return {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    std::vector<Point> offsets;
    for (int32_t y = -width; y <= width; ++y) {
        for (int32_t x = -width; x <= width; ++x) {
            if (x != 0 || y != 0) offsets.push_back({x, y});
        }
    }
    return offsets;
}
