// "Copy measurement": the current measurement's text onto the clipboard.
#pragma once

// Main thread.
void CopyMeasurementToClipboard();
