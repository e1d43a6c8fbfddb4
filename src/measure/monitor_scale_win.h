// The scale and pixel size of the monitor at a desktop point: its display
// scale, its calibration or EDID size, and the id its calibration is kept
// under. Any thread.
#pragma once
#include <string>

#include "measure/calibration.h"
#include "measure/measure_units.h"
#include "platform/types.h"

struct MonitorPixels {
    std::string id;  // the monitor device's instance id, e.g. DISPLAY\DEL4063\5&2A8F0B2A&0&UID4353
    MonitorScale scale;
    PixelSize size;
};
MonitorPixels MonitorAt(Point p);
// Forgets what was read about each output's monitor: the displays changed.
void ForgetMonitorFacts();

