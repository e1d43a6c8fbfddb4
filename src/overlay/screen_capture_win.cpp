#include "overlay/screen_capture_win.h"

#include <windows.h>

#include <algorithm>

bool CaptureScreen(const Rect& source, const Rect& readable, uint32_t outside, std::vector<uint32_t>& pixels) {
    const int32_t width = source.right - source.left;
    const int32_t height = source.bottom - source.top;
    const Rect part{std::max(source.left, readable.left), std::max(source.top, readable.top),
                    std::min(source.right, readable.right), std::min(source.bottom, readable.bottom)};
    if (width < 1 || height < 1 || part.right <= part.left || part.bottom <= part.top) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool captured = false;
    if (dib && bits) {
        auto* dibPixels = static_cast<uint32_t*>(bits);
        const size_t count = size_t(width) * size_t(height);
        std::fill(dibPixels, dibPixels + count, outside);
        HGDIOBJ previous = SelectObject(memory, dib);
        captured = BitBlt(memory, part.left - source.left, part.top - source.top, part.right - part.left,
                          part.bottom - part.top, screen, part.left, part.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
        if (captured) {
            pixels.resize(count);
            for (size_t i = 0; i < count; ++i) pixels[i] = dibPixels[i] & 0xFFFFFF;
        }
    }
    if (dib) DeleteObject(dib);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return captured;
}
