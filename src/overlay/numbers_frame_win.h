// NumbersWindow's image for one frame: the label beside the pointer, or no
// image while the label is switched off. Sets TheDisplay.labelRect.
#pragma once
#include "overlay/render_surface_win.h"

FrameImage DrawLabelImage();
