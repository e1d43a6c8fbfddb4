// The pointer position and the system mouse speed.
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace platform {

struct PointerSource {
    bool (*position)(Point& out);            // GetCursorPos
    bool (*getMouseSpeed)(int32_t& speed);   // SPI_GETMOUSESPEED
    bool (*setMouseSpeed)(int32_t speed);    // SPI_SETMOUSESPEED, not persisted, not broadcast
};

extern PointerSource Pointer;

}  // namespace platform
