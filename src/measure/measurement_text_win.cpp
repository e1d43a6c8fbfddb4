#include "measure/measurement_text_win.h"

#include "measure/copy_text.h"
#include "measure/measure_settings.h"
#include "measure/monitor_scale_win.h"

namespace {

MonitorScale ScaleFor(MeasureUnit unit, Point start) {
    // Physical pixels need no monitor: today's label costs nothing more.
    return unit == MeasureUnit::PhysicalPixels ? MonitorScale{} : MonitorAt(start).scale;
}

}  // namespace

std::string MeasurementLabel(const MeasureReadout& readout, const MeasureState& measure) {
    const MeasureUnit unit = UnitFromStored(MeasureSettings.unit.load());
    return FormatUnitLabel(double(readout.dx), double(readout.dy), readout.length, readout.shownAngle,
                           measure.reflectionMode, unit, ScaleFor(unit, measure.startPoint));
}

std::string MeasurementCopyText(const MeasureState& measure) {
    const MeasureReadout readout = ReadMeasurement(measure);
    const MeasureUnit unit = UnitFromStored(MeasureSettings.unit.load());
    CopySource source;
    source.start = measure.startPoint;
    source.end = measure.currentPoint;
    source.shownAngle = readout.shownAngle;
    source.reflectionMode = measure.reflectionMode;
    return FormatCopyText(CopyFormFromStored(MeasureSettings.copyForm.load()), source, unit,
                          ScaleFor(unit, measure.startPoint));
}
