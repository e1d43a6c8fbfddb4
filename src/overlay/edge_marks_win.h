// The space around the pointer while the spacing key is held: a cross over
// the two runs (measure_model.h's spacing) with short marks at their ends,
// drawn in place of the measured line as two thin bars, each an image of its
// own: two thin images cost far less to present than one as large as the
// runs' box. The overlay windows' owner presents them.
#pragma once
#include "overlay/render_surface_win.h"

// The row's bar (column false) or the column's bar (column true).
FrameImage DrawSpacingBar(bool column);
