#include "layout/pointer_extent.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Win32's UnionRect: the bounding box of two rectangles, an empty one
// (right <= left or bottom <= top) not counting; all zero when both are empty.
Rect UnionOfRects(const Rect& a, const Rect& b) {
    if (IsEmpty(a)) return IsEmpty(b) ? Rect{} : b;
    if (IsEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

int LeadingOnes(uint8_t byte) {
    int n = 0;
    for (uint8_t bit = 0x80; bit != 0 && (byte & bit); bit >>= 1) ++n;
    return n;
}

int TrailingOnes(uint8_t byte) {
    int n = 0;
    for (uint8_t bit = 0x01; bit != 0 && (byte & bit); bit <<= 1) ++n;
    return n;
}

// The box of the pixels that the mask does not leave unchanged.
std::optional<Rect> MaskBox(const PointerBits& bits) {
    const int32_t size = bits.size;
    const size_t rowBytes = size_t(size) / 8;
    // Only the AND rows count; a monochrome pointer's XOR rows below them
    // mark the inverting pixels, which are visible too.
    std::vector<uint8_t> andRows(bits.mask, bits.mask + rowBytes * size_t(size));
    if (bits.maskRows == 2 * size) {
        const uint8_t* xorRows = bits.mask + rowBytes * size_t(size);
        for (size_t i = 0; i < andRows.size(); ++i) andRows[i] &= uint8_t(~xorRows[i]);
    }

    // Rows with a visible pixel, found word by word (32 pixels each).
    const size_t wordsPerRow = size_t(size) / 32;
    const size_t words = wordsPerRow * size_t(size);
    auto wordAllOnes = [&](size_t word) {
        for (size_t b = 0; b < 4; ++b)
            if (andRows[word * 4 + b] != 0xFF) return false;
        return true;
    };
    size_t first = 0;
    while (first < words && wordAllOnes(first)) ++first;
    if (first == words) return std::nullopt;
    size_t last = words - 1;
    while (wordAllOnes(last)) --last;
    const int32_t top = int32_t(first / wordsPerRow);
    const int32_t bottom = int32_t(last / wordsPerRow);

    // Columns: fold the rows into one; a 0 bit in the fold is a column with
    // a visible pixel somewhere.
    std::vector<uint8_t> fold(rowBytes, 0xFF);
    for (int32_t row = top; row <= bottom; ++row)
        for (size_t b = 0; b < rowBytes; ++b) fold[b] &= andRows[size_t(row) * rowBytes + b];
    size_t firstByte = 0;
    while (fold[firstByte] == 0xFF) ++firstByte;
    size_t lastByte = rowBytes - 1;
    while (fold[lastByte] == 0xFF) --lastByte;
    const int32_t left = int32_t(8 * firstByte) + LeadingOnes(fold[firstByte]);
    const int32_t right = int32_t(8 * lastByte) + 8 - TrailingOnes(fold[lastByte]);
    return Rect{left, top, right, bottom + 1};
}

// The box of the visible colour pixels.
std::optional<Rect> ColorBox(const PointerBits& bits) {
    const int32_t size = bits.size;
    const uint8_t* pixels = bits.color;
    auto pixelAt = [&](int32_t x, int32_t y) { return pixels + (size_t(y) * size_t(size) + size_t(x)) * 4; };

    bool hasAlpha = false;
    for (size_t i = 0; i < size_t(size) * size_t(size) && !hasAlpha; ++i) hasAlpha = pixels[i * 4 + 3] != 0;
    auto visible = [&](const uint8_t* p) {
        if (hasAlpha) return p[3] != 0;
        return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;  // alpha is 0 here
    };

    Rect box{size, size, 0, 0};
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            if (!visible(pixelAt(x, y))) continue;
            if (x < box.left) box.left = x;
            if (y < box.top) box.top = y;
            if (x + 1 > box.right) box.right = x + 1;
            if (y + 1 > box.bottom) box.bottom = y + 1;
        }
    }
    if (IsEmpty(box)) return std::nullopt;
    return box;
}

}  // namespace

bool PointerBitmapsFit(int32_t cx, int32_t cy, const PointerBitmapShape& mask, const PointerBitmapShape& color) {
    if (cx != cy || cx <= 0 || cx % 32 != 0) return false;
    if (!mask.present && !color.present) return false;
    if (mask.present) {
        const int32_t height = std::abs(mask.height);
        if (mask.width != cx || (height != cy && height != 2 * cy) || mask.bytesPerRow != cx / 8) return false;
    }
    if (color.present) {
        if (color.width != cx || std::abs(color.height) != cy || color.bytesPerRow != 4 * cx) return false;
    }
    return true;
}

PointerExtent WholePointerCell(int32_t cx, int32_t cy, int32_t hotspotX, int32_t hotspotY) {
    return {-hotspotX, -hotspotY, cx - hotspotX - 1, cy - hotspotY - 1};
}

std::optional<Rect> VisiblePointerBox(const PointerBits& bits) {
    if (bits.size <= 0 || bits.size % 32 != 0) return std::nullopt;
    Rect m{}, k{};
    if (bits.mask && (bits.maskRows == bits.size || bits.maskRows == 2 * bits.size)) {
        if (auto box = MaskBox(bits)) m = *box;
    }
    if (bits.color) {
        if (auto box = ColorBox(bits)) k = *box;
    }
    const Rect u = UnionOfRects(m, k);
    if (IsEmpty(u)) return std::nullopt;
    return u;
}

PointerExtent ExtentFromBox(const Rect& box, int32_t hotspotX, int32_t hotspotY) {
    return {box.left - hotspotX, box.top - hotspotY, box.right - hotspotX - 1, box.bottom - hotspotY - 1};
}

PointerExtent MeasurePointerImage(int32_t cx, int32_t cy, int32_t hotspotX, int32_t hotspotY,
                                  const PointerBits* bits) {
    if (bits) {
        if (const auto box = VisiblePointerBox(*bits)) return ExtentFromBox(*box, hotspotX, hotspotY);
    }
    return WholePointerCell(cx, cy, hotspotX, hotspotY);
}
