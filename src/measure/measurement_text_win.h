// The current measurement as text in the chosen unit, with the scale of the
// monitor under the start point: the label's text and the copy text.
#pragma once
#include <string>

#include "measure/measure_model.h"

std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure);
// The copy text of a measurement (main thread for the live one, which it writes).
std::string MeasurementCopyText(const MeasureState& measure);
