// The options window, run on a thread of its own.
#pragma once
#include <atomic>

#include "platform/types.h"

extern std::atomic<WindowHandle> OptionsWindowHandle;
extern std::atomic<bool> OptionsReady;
extern std::atomic<int32_t> OptionsThreadRunning;

// Opens the window on its thread, or presents the one that is open. Main thread.
void OpenOptionsDialog(bool minimized);
// Minimizes or restores the window as asked (only when its state differs)
// and shows it top-most without moving it. Also used for the font chooser.
void PresentWindow(WindowHandle window, bool minimized);
// Posts MsgSaveSettings to MainWindow unless one is already queued.
void RequestSave();
// Re-checks the Keyboard Shortcuts page's dead check boxes and bindings.
void RefreshKeyPage();
