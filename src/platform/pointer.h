// The pointer and the system mouse speed.
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace platform {

struct PointerSource {
    // GetCursorInfo: where the pointer is, and the shape shown (an HCURSOR;
    // 0 while the pointer is hidden). One call gives the frame both.
    bool (*read)(Point& position, uintptr_t& shape);
    bool (*getMouseSpeed)(int32_t& speed);   // SPI_GETMOUSESPEED
    bool (*setMouseSpeed)(int32_t speed);    // SPI_SETMOUSESPEED, not persisted, not broadcast
};

extern PointerSource Pointer;

}  // namespace platform
