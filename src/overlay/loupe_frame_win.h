// The loupe's image: the screen around the pointer magnified beside it,
// while the slow key is held (loupe_layout.h). Its window belongs to the
// overlay windows' owner, which shows the image opaque.
#pragma once
#include "overlay/render_surface_win.h"

// At the start of a frame, with the frame's DPI and pointer shape set:
// whether the loupe shows, and what it magnifies (TheDisplay.loupeSource).
void PlanLoupe();
// The loupe's image for this frame, read from the screen once the line and
// the label are on screen and the last loupe is out of the way; no image
// while it does not show, and none when the screen could not be read
// (TheDisplay.loupeFailed is then set). changed: the square was read anew
// and differs from the last reading of it.
FrameImage DrawLoupeImage(bool& changed);
