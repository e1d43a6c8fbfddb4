#include "overlay/render_surface_win.h"

namespace {

constexpr Gdiplus::PixelFormat kPremultipliedArgb = 0xE200B;  // PixelFormat32bppPARGB

}  // namespace

GpGraphics* CreateSurface(const Rect& rect, RenderSurface& surface) {
    const int64_t width = int64_t(rect.right) - rect.left;
    const int64_t height = int64_t(rect.bottom) - rect.top;
    if (width < 1 || height < 1) return nullptr;

    // A top-down 32-bit DIB section: fresh memory is zero, which is fully
    // transparent, so the surface needs no clearing.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = LONG(width);
    info.bmiHeader.biHeight = -LONG(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // No device context is needed for RGB colours; asking for the
    // screen's would cost a trip to the window server.
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!dib || !pixels) {
        if (dib) DeleteObject(dib);
        return nullptr;
    }

    // GDI+ draws into the very same memory, so GDI text and GDI+ lines land
    // in one image.
    GpBitmap* bitmap = nullptr;
    GdipFlat::GdipCreateBitmapFromScan0(INT(width), INT(height), INT(4 * width), kPremultipliedArgb,
                                        static_cast<BYTE*>(pixels), &bitmap);
    GpGraphics* graphics = nullptr;
    if (bitmap) GdipFlat::GdipGetImageGraphicsContext(bitmap, &graphics);
    if (!graphics) {
        // Nothing could be drawn: skip the frame and keep the window's last
        // image rather than present an empty one.
        if (bitmap) GdipFlat::GdipDisposeImage(bitmap);
        DeleteObject(dib);
        return nullptr;
    }

    surface.dib = dib;
    surface.pixels = pixels;
    surface.bitmap = bitmap;
    surface.graphics = graphics;
    return graphics;
}

void DiscardSurface(RenderSurface& surface) {
    if (surface.graphics) GdipFlat::GdipDeleteGraphics(surface.graphics);
    if (surface.bitmap) GdipFlat::GdipDisposeImage(surface.bitmap);
    if (surface.dib) DeleteObject(surface.dib);
    surface = RenderSurface{};
}
