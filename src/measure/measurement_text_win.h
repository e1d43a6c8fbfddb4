// A measurement as text in the chosen unit, with the scale of the monitor
// under its start point: the label's text and the copy text.
#pragma once
#include <string>

#include "measure/copy_text.h"
#include "measure/measure_model.h"

// The label's text; the spacing's size while it shows.
std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure);
// The line in the chosen unit, with the scale of the monitor under its
// start point. Any thread.
MeasurementInUnit MeasurementInChosenUnit(const CopySource& line);
// Any thread.
std::string MeasurementCopyText(const CopySource& line);
// The spacing's size, "200 x 100" in the chosen unit, with the scale of the
// monitor under the pointer: what the label shows and the copy key copies
// while the spacing shows.
std::string SpacingText(const MeasureState& measure);
