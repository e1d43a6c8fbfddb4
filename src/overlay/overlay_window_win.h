// The overlay windows' owner: it creates, shows, hides and destroys the
// line's, the label's, the loupe's and the pins' windows and presents the
// images that the parts (line_frame_win, numbers_frame_win, loupe_frame_win,
// pin_frame_win) draw. display_object.h declares its main-thread operations; these
// are the steps of one frame, which the frame benchmark also times alone.
#pragma once
#include <windows.h>

#include "overlay/frame_inputs.h"
#include "overlay/render_surface_win.h"

// One frame from the record: the line's, the label's and the loupe's images
// in that order, each presented as soon as it is drawn.
void ComposeFrame(const FrameInputs& inputs);
// Hides every overlay window at once: the screen is read without them.
void HideOverlaysForScreenRead();
// Shows the pins again once the screen is read; the ruler's own windows come
// back with the next frame.
void ShowPinsAfterScreenRead();
// Shows surface at rect in window with the current fade alpha (LineWindow
// directly below NumbersWindow), then discards it.
void PresentSurface(HWND window, const Rect& rect, RenderSurface& surface);
