// A per-frame, exactly sized 32-bit premultiplied-alpha raster that GDI and
// GDI+ both draw on. The parts of the overlay draw into surfaces; the overlay
// windows' owner (overlay_window_win.cpp) presents and discards them.
#pragma once
#include <windows.h>

#include "overlay/gdiplus_flat_win.h"
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
// Destroys the surface (also one never shown).
void DiscardSurface(RenderSurface& surface);

// What one part of the overlay (the line, the label, the loupe) made of its
// window for a frame: a new image at rect, no image (the window is hidden),
// or nothing new (the window keeps its last image, e.g. when drawing failed).
struct FrameImage {
    enum class Show { Image, Hide, Keep };
    Show show = Show::Keep;
    Rect rect{};
    RenderSurface surface;
};
