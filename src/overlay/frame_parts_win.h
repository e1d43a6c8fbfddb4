// The drawing that the live frame and the pins share: the measured line with
// its outline and cross, and the outlined label, each onto a surface the
// caller made and presents.
#pragma once
#include <windows.h>

#include <string>

#include "layout/line_path.h"
#include "overlay/render_surface_win.h"
#include "platform/types.h"

// The path's bounding box widened by the outline of a line thick pixels wide,
// cut to the desktop: the surface the path needs.
Rect LinePathRect(const LinePath& path, double thick);
// Strokes the path onto a surface whose desktop rectangle is origin: a white
// outline, the measured line in black, the rest in grey or the colours of
// its breaks (the cross red).
void StrokeLinePath(GpGraphics* graphics, const Rect& origin, const LinePath& path, double thick, bool cross0,
                    bool antialias);

// Where the live label with this text goes now; the caller holds DisplayLock.
Rect PlaceLiveLabel(HFONT font, const std::wstring& text, int32_t dpi);
// Draws text, black with a white outline sized for dpi, onto a fresh surface
// made for label (nothing else may be on it yet); false when GDI gave no
// device context.
bool DrawLabel(RenderSurface& surface, const Rect& label, HFONT font, const std::wstring& text, int32_t dpi);
