#include "display/frame_record_win.h"

#include <windows.h>

#include <optional>

#include "display/display_object.h"
#include "display/frame_scale_win.h"
#include "display/measure_model.h"

namespace {

std::optional<Rect> desktop;

}  // namespace

FrameInputs CurrentFrameInputs(std::optional<uintptr_t> pointerShape) {
    if (!pointerShape) {
        CURSORINFO cursor{};
        cursor.cbSize = sizeof cursor;
        const bool shown = GetCursorInfo(&cursor) && cursor.flags == CURSOR_SHOWING;
        pointerShape = shown ? reinterpret_cast<uintptr_t>(cursor.hCursor) : 0;
    }
    return ReadFrameInputs(TheDisplay, DesktopRect(), *pointerShape, MonitorDpiAt(TheDisplay.measure.currentPoint));
}

Rect DesktopRect() {
    if (!desktop) desktop = VirtualScreenRect();
    return *desktop;
}

void ForgetDisplayLayout() {
    desktop.reset();
    ForgetMonitorDpi();
}
