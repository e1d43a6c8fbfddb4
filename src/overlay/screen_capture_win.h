// Reading the screen's pixels, for the loupe and the edge keys.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/types.h"

// The pixels of `source` (0x00RRGGBB, row by row, top row first): the part
// that lies within `readable` is read from the screen, the rest is `outside`.
// Without CAPTUREBLT: Windows then leaves layered windows out of the copy, the
// ruler's among them (Wine's copy shows every window). False when nothing
// could be read; `pixels` is then left as it was.
bool CaptureScreen(const Rect& source, const Rect& readable, uint32_t outside, std::vector<uint32_t>& pixels);
