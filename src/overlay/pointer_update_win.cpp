// The pointer update of the display object: the geometry is done by the
// platform-free model, then the overlay is asked for a frame if it changed.
#include "measure/measure_model.h"
#include "overlay/display_object.h"

void UpdateFromPointer(int32_t x, int32_t y, std::optional<uintptr_t> pointerShape, bool moveStart,
                       bool reflectionKey) {
    ApplyPointerUpdate(TheDisplay.measure, TheDisplay.konscr.load(), x, y, moveStart, reflectionKey);
    // Settings changes are seen here too: the frame record holds them.
    RedrawIfChanged(pointerShape);
}
