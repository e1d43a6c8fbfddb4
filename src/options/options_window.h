// The options window, run on a thread of its own.
#pragma once
#include <atomic>

#include "platform/types.h"

extern std::atomic<WindowHandle> OptionsWindowHandle;
extern std::atomic<bool> OptionsReady;
extern std::atomic<int32_t> OptionsThreadRunning;

// Opens the window on its thread, or presents the one that is open. Main thread.
void OpenOptionsDialog(bool minimized);
// What the options thread is asked to open: the options window (normal or
// minimized) or the "Measure settings" window. The thread runs while either
// is open; closing the options window ends it with both.
enum OptionsThreadRequest : int32_t {
    OptionsThreadFrame = 0,
    OptionsThreadFrameMinimized = 1,
    OptionsThreadMeasureSettings = 2,
};
// Starts the thread with the request, or hands the request to the running
// thread. Main thread.
void OpenOptionsThreadWith(int32_t request);
// Minimizes or restores the window as asked (only when its state differs)
// and shows it top-most without moving it. Also used for the font chooser.
void PresentWindow(WindowHandle window, bool minimized);
// Posts MsgSaveSettings to MainWindow unless one is already queued.
void RequestSave();
// Re-checks the Keyboard Shortcuts page's dead check boxes and bindings.
void RefreshKeyPage();
