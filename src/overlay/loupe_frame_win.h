// The loupe's window: a third top-most, click-through layered window beside
// the pointer, shown while the slow key is held (loupe_layout.h).
#pragma once
#include "overlay/gdiplus_flat_win.h"
#include "platform/types.h"

// At the start of a frame, with the frame's DPI and pointer shape set:
// whether the loupe shows, and what it magnifies (TheDisplay.loupeSource).
void BeginFrame();
// Keeps the line out of the magnified square; origin is the line surface's
// desktop rectangle.
void ExcludeLoupeSource(GpGraphics* graphics, const Rect& origin);
// The loupe's image for this frame, after the line and the label are on
// screen, or the window hidden.
void DrawLoupeFrame();
// Made at start with the other overlays, hidden.
void CreateLoupeWindow();
void HideLoupeWindow();
void DestroyLoupeWindow();
