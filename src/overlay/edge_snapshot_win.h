// The screen as the edge keys (snap and spacing) see it: the monitor under
// the pointer without the ruler's own windows, read when a key goes down and
// kept while one is held. Main thread.
#pragma once
#include "measure/edge_finder.h"

// The image of the monitor that holds p: read at the first call after the
// keys went down, and again when p has left that monitor. None while it is
// being read (under Wine: see the source; a pointer update follows when it
// is there) or when reading failed (until the keys are let go).
const ScreenPixels* EdgeSnapshotAt(Point p);
// Neither key is held: the image goes, and nothing is read.
void DropEdgeSnapshot();
