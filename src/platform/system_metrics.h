// GetSystemMetrics for the logic (virtual desktop, screen size, mouse buttons
// and wheels). Indexes are the Win32 SM_* values.
#pragma once
#include <cstdint>

namespace platform {

enum SystemMetric : int32_t {
    MetricCxScreen = 0,              // SM_CXSCREEN
    MetricCyScreen = 1,              // SM_CYSCREEN
    MetricCxCursor = 13,             // SM_CXCURSOR
    MetricCyCursor = 14,             // SM_CYCURSOR
    MetricCMouseButtons = 43,        // SM_CMOUSEBUTTONS
    MetricMouseWheelPresent = 75,    // SM_MOUSEWHEELPRESENT
    MetricXVirtualScreen = 76,       // SM_XVIRTUALSCREEN
    MetricYVirtualScreen = 77,       // SM_YVIRTUALSCREEN
    MetricCxVirtualScreen = 78,      // SM_CXVIRTUALSCREEN
    MetricCyVirtualScreen = 79,      // SM_CYVIRTUALSCREEN
    MetricMouseHWheelPresent = 91,   // SM_MOUSEHORIZONTALWHEELPRESENT
};

struct SystemMetricsSource {
    int32_t (*get)(int32_t index);
};

extern SystemMetricsSource Metrics;

}  // namespace platform
