// The "Measure settings" window: unit, calibration, copy and pin keys, copy form,
// applied at once. It runs on the options thread, beside the options window.
#pragma once
#include <windows.h>

// Opens the window or brings it forward. Main thread.
void OpenMeasureSettingsWindow();
// Shows what changed elsewhere (a unit chosen in the icon's menu, the hooks
// switched off, which the copy key's row follows). Any thread.
void RefreshMeasureSettingsWindow();

// Options thread: creates the window or presents the open one, and the open
// window (nullptr when none) for the thread's dialog messages.
void CreateMeasureSettingsWindow();
HWND MeasureSettingsWindow();
