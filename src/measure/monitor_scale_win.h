// The scale and pixel size of the monitor at a desktop point: its display
// scale, its calibration or EDID size, and the name its calibration is kept
// under. Any thread.
#pragma once
#include <string>

#include "measure/calibration.h"
#include "measure/measure_units.h"
#include "platform/types.h"

struct MonitorPixels {
    std::string name;  // the monitor's device name, e.g. "\\.\DISPLAY1"
    MonitorScale scale;
    PixelSize size;
};
MonitorPixels MonitorAt(Point p);

