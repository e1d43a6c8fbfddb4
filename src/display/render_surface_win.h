// A per-frame, exactly sized 32-bit premultiplied-alpha raster that GDI and
// GDI+ both draw on, presented into an overlay window.
#pragma once
#include <windows.h>

#include "display/gdiplus_flat_win.h"
#include "platform/types.h"

struct RenderSurface {
    GpGraphics* graphics = nullptr;
    GpBitmap* bitmap = nullptr;
    HBITMAP dib = nullptr;
    void* pixels = nullptr;
};

// Creates the surface for rect (desktop coordinates); returns its graphics,
// or nullptr (and leaves the surface untouched) for an empty rectangle or a
// failure.
GpGraphics* CreateSurface(const Rect& rect, RenderSurface& surface);
// Moves and sizes window to rect, shows the surface with the current fade
// alpha, then destroys the surface.
void PresentSurface(HWND window, const Rect& rect, RenderSurface& surface);
