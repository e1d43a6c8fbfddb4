#include "overlay/frame_record_win.h"

#include <windows.h>

#include <optional>

#include "measure/measure_model.h"
#include "overlay/display_object.h"
#include "overlay/frame_scale_win.h"

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
