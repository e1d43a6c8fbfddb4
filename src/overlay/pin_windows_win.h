// The pinned measurements on the screen (main thread): one top-most,
// click-through layered window per pin, directly below the live ruler's
// windows. A pin is drawn once, when it is made, and again only when the
// display settings change; the ruler's fade shows and hides the pins.
#pragma once
#include <cstdint>

#include "overlay/pin_list.h"

// Pins the live measurement where and as the ruler shows it now: the line
// with its outline and start cross, and the label (no reflections, no loupe;
// nothing while the spacing shows instead of the line).
void PinLiveMeasurement();
// Forgets every pin and destroys their windows (also at shut-down).
void ClearPins();
const PinList& Pins();
// The ruler's constant alpha (its fade): the pins take it; 0 hides them.
void ShowPins(int32_t alpha);
