// A per-frame, exactly sized 32-bit premultiplied-alpha raster that GDI and
// GDI+ both draw on, presented into an overlay window.
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
// Moves and sizes window to rect and shows the surface in it with the
// constant alpha, after putting the window in the top-most band (directly
// below `above` when given).
void ShowSurface(HWND window, HWND above, const Rect& rect, const RenderSurface& surface, int32_t alpha);
// Destroys the surface (also one never shown).
void DiscardSurface(RenderSurface& surface);
// An overlay frame's image: shown in LineWindow (below NumbersWindow) or
// NumbersWindow with the current fade alpha, then destroyed.
void PresentSurface(HWND window, const Rect& rect, RenderSurface& surface);
