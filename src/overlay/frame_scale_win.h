// The scale of one frame: the DPI of the monitor under the pointer, and the
// label font made for it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/types.h"

// The DPI of the monitor that holds p (the system DPI where the system
// cannot tell per monitor).
int32_t MonitorDpiAt(Point p);
// Drops the DPI kept for the monitor last asked about.
void ForgetMonitorDpi();
// The label font for drawing at dpi; the caller holds DisplayLock. At the
// DPI the font was made for, the very font of CurrentLabelFont.
HFONT LabelFontAt(int32_t dpi);
