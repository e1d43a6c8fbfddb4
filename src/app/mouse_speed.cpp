#include "app/mouse_speed.h"

#include <cstdint>

#include "base/debug_trace.h"
#include "platform/pointer.h"

namespace {

// The user's speed while the mouse is slowed, -1 when it is not.
int32_t SavedMouseSpeed = -1;

constexpr int32_t SlowSpeed = 1;  // the slowest speed the system offers

}  // namespace

void SetSlowMouse(bool slow) {
    if (slow == (SavedMouseSpeed != -1)) return;
    if (slow) {
        int32_t current = -1;
        if (platform::Pointer.getMouseSpeed(current) && platform::Pointer.setMouseSpeed(SlowSpeed)) {
            SavedMouseSpeed = current;
            Trace("mouse speed %d -> %d\n", current, SlowSpeed);
        } else {
            SavedMouseSpeed = -1;
        }
        return;
    }
    platform::Pointer.setMouseSpeed(SavedMouseSpeed);
    Trace("mouse speed restored to %d\n", SavedMouseSpeed);
    SavedMouseSpeed = -1;
}
