// The pins' drawing part: a pin taken from the live ruler as it is drawn now,
// and its image. The overlay windows' owner keeps the list and the pins'
// windows and presents the images.
#pragma once
#include <optional>

#include "overlay/pin_list.h"
#include "overlay/render_surface_win.h"

// The live measurement where and as the ruler shows it now: the line with
// its outline and start cross, and the label (no reflections, no loupe);
// nothing while the spacing shows instead of the line.
std::optional<Pin> PinOfLiveRuler();
// The pin's image at its place on the desktop, in the look it was pinned
// with; Show::Hide when there is nothing to draw it on (off the desktop, no
// memory).
FrameImage DrawPinImage(const Pin& pin);
