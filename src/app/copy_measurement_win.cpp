#include "app/copy_measurement_win.h"

#include "app/clipboard_win.h"
#include "measure/kept_measurement.h"
#include "measure/measure_settings.h"
#include "measure/measurement_text_win.h"
#include "overlay/display_object.h"

void CopyMeasurementToClipboard() {
    // While the spacing shows, its size is what the label shows and the copy holds.
    const MeasureState& measure = TheDisplay.measure;
    CopyTextToClipboard(SpacingShown(measure) ? SpacingText(measure) : MeasurementCopyText(ShownLine(measure)));
}

void CopyKeptMeasurementToClipboard() { CopyTextToClipboard(MeasurementCopyText(LastKeptMeasurement().line)); }

void CopyPinsToClipboard() {
    if (Pins().Count() == 0) return;
    CopyTextToClipboard(PinsCopyText(Pins(), CopyFormFromStored(MeasureSettings.copyForm.load())));
}
