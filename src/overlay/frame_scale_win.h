// The scale of one frame: the DPI of the monitor under the pointer, and the
// label font objects: the one made from the chosen description and its copy
// made for the frame's DPI.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/types.h"

// The DPI of the monitor that holds p (the system DPI where the system
// cannot tell per monitor).
int32_t MonitorDpiAt(Point p);
// Drops the DPI kept for the monitor last asked about.
void ForgetMonitorDpi();
// The label font at the DPI it was chosen for (DefaultFont unless one was
// chosen); the caller holds DisplayLock while using it.
HFONT CurrentLabelFont();
// Deletes the font objects made (at shut-down, with DisplayLock held or on
// the only thread left).
void ReleaseLabelFonts();
// The label font for drawing at dpi; the caller holds DisplayLock. At the
// DPI the font was made for, the very font of CurrentLabelFont.
HFONT LabelFontAt(int32_t dpi);
