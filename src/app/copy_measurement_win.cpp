#include "app/copy_measurement_win.h"

#include "app/clipboard_win.h"
#include "measure/kept_measurement.h"
#include "measure/measurement_text_win.h"
#include "overlay/display_object.h"

void CopyMeasurementToClipboard() { CopyTextToClipboard(MeasurementCopyText(ShownLine(TheDisplay.measure))); }

void CopyKeptMeasurementToClipboard() { CopyTextToClipboard(MeasurementCopyText(LastKeptMeasurement().line)); }
