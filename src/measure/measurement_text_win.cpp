#include "measure/measurement_text_win.h"

#include "measure/measure_settings.h"
#include "measure/monitor_scale_win.h"

namespace {

MonitorScale ScaleFor(MeasureUnit unit, Point start) {
    // Physical pixels need no monitor: today's label costs nothing more.
    return unit == MeasureUnit::PhysicalPixels ? MonitorScale{} : MonitorAt(start).scale;
}

}  // namespace

std::string SpacingText(const MeasureState& measure) {
    const MeasureUnit unit = UnitFromStored(MeasureSettings.unit.load());
    const Rect& s = measure.spacing;
    return FormatSpacingText(s.right - s.left, s.bottom - s.top, unit, ScaleFor(unit, measure.currentPoint));
}

std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure) {
    if (SpacingShown(measure)) return SpacingText(measure);
    const MeasureUnit unit = UnitFromStored(MeasureSettings.unit.load());
    return FormatUnitLabel(double(readout.dx), double(readout.dy), readout.length, readout.shownAngle,
                           measure.reflectionMode, unit, ScaleFor(unit, measure.startPoint));
}

MeasurementInUnit MeasurementInChosenUnit(const CopySource& line) {
    const MeasureUnit unit = UnitFromStored(MeasureSettings.unit.load());
    return {line, unit, ScaleFor(unit, line.start)};
}

std::string MeasurementCopyText(const CopySource& line) {
    return FormatCopyText(CopyFormFromStored(MeasureSettings.copyForm.load()), MeasurementInChosenUnit(line));
}
