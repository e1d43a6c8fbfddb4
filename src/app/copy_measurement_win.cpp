#include "app/copy_measurement_win.h"

#include "app/clipboard_win.h"
#include "display/measurement_text_win.h"

void CopyMeasurementToClipboard() { CopyTextToClipboard(MeasurementCopyText()); }
