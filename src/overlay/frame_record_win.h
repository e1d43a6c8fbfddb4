// What a frame is drawn from that only the system can tell: the virtual
// desktop, the pointer shape shown and the DPI of the monitor under the
// pointer. The desktop and the monitors' DPI are kept between frames until
// the display settings change: each reading is a trip to the window server
// (under Wine several), and a moving pointer asks for them at every frame.
#pragma once
#include <optional>

#include "overlay/frame_inputs.h"

// The record of everything the next frame shows; the pointer shape is read
// unless the caller has just read it.
FrameInputs CurrentFrameInputs(std::optional<uintptr_t> pointerShape = std::nullopt);
// The virtual desktop.
Rect DesktopRect();
// Drops what is kept, after a display, DPI or system setting changed.
void ForgetDisplayLayout();
