// "Copy measurement": a measurement's text onto the clipboard; "Copy pinned
// measurements": the pins' text. Main thread.
#pragma once

// The copy key: the line the ruler shows now.
void CopyMeasurementToClipboard();
// The icon's menu: the measurement kept when the ruler was last switched off
// with the key (the pointer is at the icon by now).
void CopyKeptMeasurementToClipboard();
// The icon's menu: every pin, in the chosen copy form.
void CopyPinsToClipboard();
