// The overlay windows' Win32 operations that the frame drawing uses.
#pragma once
#include <windows.h>

#include "overlay/frame_inputs.h"
#include "platform/types.h"

// Puts window in the top-most band (directly below `above` when given), then
// updates its layered image: with rect and contexts a new image at rect,
// without them only the constant alpha. Returns the thread's last error.
DWORD UpdateLayered(HWND window, HWND above, const Rect* rect, HDC screenDC, HDC sourceDC, int32_t alpha);
// Hides the window (and shrinks it to 0 by 0).
void HideOverlayWindow(HWND window);
// The label font for this frame (DefaultFont unless one was chosen); the
// caller holds DisplayLock while using it.
HFONT CurrentLabelFont();
// LineWindow's and NumbersWindow's images for one frame, in that order.
void ComposeFrame(const FrameInputs& inputs);
void DrawLineFrame();
void DrawNumbersFrame();
