// The 96-byte "font" value: the label font's description and whether one was
// chosen, in the stored little-endian byte layout.
#pragma once
#include <cstdint>

#include "platform/font_description.h"

constexpr uint32_t StoredFontSize = sizeof(StoredFont);

void EncodeStoredFont(const StoredFont& font, uint8_t (&bytes)[StoredFontSize]);

// The face name always comes out zero-terminated: a stored name that fills
// all 32 units without a terminating zero is cut to its first 31, so every
// reader of a description may treat the name as a terminated string.
StoredFont DecodeStoredFont(const uint8_t (&bytes)[StoredFontSize]);
