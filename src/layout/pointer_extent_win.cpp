// The extent of the pointer shown now, read from its bitmaps once per shape.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "layout/pointer_extent.h"

namespace {

// The last pointer shape looked at, and its extent.
struct PointerExtentCache {
    HCURSOR pointer = nullptr;
    PointerExtent extent{};
};
PointerExtentCache Cache;

PointerBitmapShape ShapeOf(HBITMAP bitmap) {
    PointerBitmapShape shape;
    if (!bitmap) return shape;
    shape.present = true;
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == sizeof info) {
        shape.width = info.bmWidth;
        shape.height = std::abs(info.bmHeight);
        shape.bytesPerRow = info.bmWidthBytes;
    }
    return shape;
}

// Reads `rows` rows of `bitCount` bits per pixel, top row first; false
// unless every row was read.
bool ReadBits(HDC dc, HBITMAP bitmap, int32_t width, int32_t rows, WORD bitCount, std::vector<uint8_t>& out) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];  // the mask's black and white
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -rows;
    info.header.biPlanes = 1;
    info.header.biBitCount = bitCount;
    info.header.biCompression = BI_RGB;
    out.assign(size_t(width) * size_t(bitCount) / 8 * size_t(rows), 0);
    const int read = GetDIBits(dc, bitmap, 0, UINT(rows), out.data(), reinterpret_cast<BITMAPINFO*>(&info),
                               DIB_RGB_COLORS);
    return read == rows;
}

}  // namespace

PointerExtent MeasurePointerExtent(uintptr_t shape) {
    HCURSOR pointer = reinterpret_cast<HCURSOR>(shape);
    if (!pointer) return {};
    if (pointer == Cache.pointer) return Cache.extent;

    ICONINFO icon{};
    if (!GetIconInfo(pointer, &icon)) return {};
    const int32_t hx = int32_t(icon.xHotspot);
    const int32_t hy = int32_t(icon.yHotspot);
    const int32_t cx = GetSystemMetrics(SM_CXCURSOR);
    const int32_t cy = GetSystemMetrics(SM_CYCURSOR);

    // The bits are read only when their layout is the expected one.
    const PointerBitmapShape mask = ShapeOf(icon.hbmMask);
    const PointerBitmapShape color = ShapeOf(icon.hbmColor);
    std::vector<uint8_t> maskBits, colorBits;
    const bool fits = PointerBitmapsFit(cx, cy, mask, color);
    bool read = fits;
    if (read) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (mask.present) read = ReadBits(dc, icon.hbmMask, cx, mask.height, 1, maskBits);
        if (read && color.present) read = ReadBits(dc, icon.hbmColor, cx, cy, 32, colorBits);
        DeleteDC(dc);
    }
    PointerBits bits;
    bits.size = cx;
    bits.mask = mask.present ? maskBits.data() : nullptr;
    bits.maskRows = mask.height;
    bits.color = color.present ? colorBits.data() : nullptr;
    const PointerExtent extent = MeasurePointerImage(cx, cy, hx, hy, read ? &bits : nullptr);
    // The answer belongs to the shape also when it is the whole cell, because
    // the bits have a layout the analysis does not read or show nothing; only
    // a failed read of readable bits is tried again.
    if (read || !fits) Cache = {pointer, extent};

    if (icon.hbmMask) DeleteObject(icon.hbmMask);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
    return extent;
}
