#include "measure/kept_measurement.h"

#include <mutex>

#include "measure/measure_model.h"

void (*MeasurementKept)() = nullptr;

namespace {

std::mutex KeptMutex;
KeptMeasurement Kept;

}  // namespace

CopySource ShownLine(const MeasureState& measure) {
    return {measure.startPoint, measure.currentPoint, ReadMeasurement(measure).shownAngle, measure.reflectionMode};
}

void KeepMeasurement(const MeasureState& measure, bool shown) {
    KeptMeasurement kept;
    kept.line.start = kept.line.end = measure.startPoint;
    if (shown) {
        kept.line = ShownLine(measure);
        kept.length = ReadMeasurement(measure).length;
    }
    kept.shown = shown;
    {
        std::lock_guard<std::mutex> lock(KeptMutex);
        Kept = kept;
    }
    if (MeasurementKept) MeasurementKept();
}

KeptMeasurement LastKeptMeasurement() {
    std::lock_guard<std::mutex> lock(KeptMutex);
    return Kept;
}
