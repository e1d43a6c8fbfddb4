#include "display/frame_record_win.h"

#include <windows.h>

#include <optional>

#include "display/display_object.h"
#include "display/frame_scale_win.h"
#include "display/measure_model.h"

namespace {

std::optional<Rect> desktop;

}  // namespace

FrameInputs CurrentFrameInputs() {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    const bool pointerShown = GetCursorInfo(&cursor) && cursor.flags == CURSOR_SHOWING;
    return ReadFrameInputs(TheDisplay, DesktopRect(), pointerShown ? reinterpret_cast<uintptr_t>(cursor.hCursor) : 0,
                           MonitorDpiAt(TheDisplay.measure.currentPoint));
}

Rect DesktopRect() {
    if (!desktop) desktop = VirtualScreenRect();
    return *desktop;
}

void ForgetDisplayLayout() {
    desktop.reset();
    ForgetMonitorDpi();
}
