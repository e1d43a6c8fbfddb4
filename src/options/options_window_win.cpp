// Placeholder until the options window lands.
#include "options/options_window.h"

std::atomic<WindowHandle> OptionsWindowHandle{nullptr};
std::atomic<bool> OptionsReady{false};
std::atomic<int32_t> OptionsThreadRunning{0};

void OpenOptionsDialog(bool) {}
