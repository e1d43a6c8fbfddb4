// A measurement as text in the chosen unit, with the scale of the monitor
// under its start point: the label's text and the copy text.
#pragma once
#include <string>

#include "measure/copy_text.h"
#include "measure/measure_model.h"

std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure);
// Any thread.
std::string MeasurementCopyText(const CopySource& line);
