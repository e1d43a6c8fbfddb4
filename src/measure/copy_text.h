// The texts "Copy measurement" puts on the clipboard. Platform-free.
#pragma once
#include <cstdint>
#include <string>

#include "measure/measure_units.h"
#include "platform/types.h"

enum class CopyForm : int32_t {
    LabelText = 0,  // the label as shown, in the current unit (the default)
    Details = 1,    // start, end, dx, dy, length and angle on one line
};
// A stored form number; anything unknown is the label text.
CopyForm CopyFormFromStored(int32_t stored);

struct CopySource {
    Point start;              // physical desktop pixels
    Point end;                // the pointer at the last update
    double shownAngle = 0.0;  // as the label shows it
    bool reflectionMode = false;
};

// A measurement with the unit it is shown in and the scale of the monitor
// under its start point, which that unit needs.
struct MeasurementInUnit {
    CopySource source;
    MeasureUnit unit = MeasureUnit::PhysicalPixels;
    MonitorScale scale;
};

// LabelText: exactly the label's text. Details, e.g.
// "start 100,100 px; end 220,145 px; dx 31.8 mm; dy 11.9 mm; length 33.9 mm; angle 110.6°"
// (points in physical pixels, distances in the unit). UTF-8.
std::string FormatCopyText(CopyForm form, const CopySource& source, MeasureUnit unit, const MonitorScale& scale);
inline std::string FormatCopyText(CopyForm form, const MeasurementInUnit& m) {
    return FormatCopyText(form, m.source, m.unit, m.scale);
}
