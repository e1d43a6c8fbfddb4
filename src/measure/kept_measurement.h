// The measurement the user keeps by switching the ruler off with the toggle
// key: what "Copy measurement" in the icon's menu copies and what the
// Measure settings window calibrates with. While the ruler is on, the line
// follows the pointer, so the way to the icon's menu or to the Calibrate
// button would otherwise become the measurement; a key press moves nothing.
// Written by the main thread, read from any thread.
#pragma once
#include "measure/copy_text.h"
#include "measure/measure_model.h"

struct KeptMeasurement {
    CopySource line;      // start, end and angle as the label showed them
    double length = 0.0;  // physical pixels
    bool shown = false;   // false: nothing measured yet, only the start point is known
};

// The line the ruler shows now. Main thread.
CopySource ShownLine(const MeasureState& measure);

// Main thread. shown: the ruler showed this measurement and was switched
// off with the key; otherwise only the start point is kept (at start-up).
void KeepMeasurement(const MeasureState& measure, bool shown);
KeptMeasurement LastKeptMeasurement();

// Called after each KeepMeasurement; set once at start-up.
extern void (*MeasurementKept)();
