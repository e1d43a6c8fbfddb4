// LineWindow's image for one frame: the line path stroked twice, a wide white
// outline first and thin coloured pens on top, on a surface exactly the size
// of the path's bounding box, with the loupe's square left clear.
#pragma once
#include "overlay/render_surface_win.h"

FrameImage DrawLineImage();
