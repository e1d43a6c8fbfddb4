// The current measurement as text in the chosen unit, with the scale of the
// monitor under the start point: the label's text and the copy text.
#pragma once
#include <string>

#include "display/measure_model.h"

std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure);
// Main thread (it reads the measurement the main thread writes).
std::string MeasurementCopyText();
