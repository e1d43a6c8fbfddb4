// The label font chooser of the Ruler Display page: the system's font dialog
// with an Apply button, a measurement-like sample and a caption of its own.
// Options thread only.
#pragma once

// Runs the chooser modally, starting from the current label font; while it
// is open, a second call only brings it to the front.
void OpenFontChooser();
