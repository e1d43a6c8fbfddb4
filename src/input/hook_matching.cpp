// Placeholder until the hooks land.
#include "input/input_hooks.h"

void SetHookCaptureWindow(WindowHandle) {}
WindowHandle GetHookCaptureWindow() { return nullptr; }
void SetRoleFilter(int32_t) {}
uint32_t MouseMessageToKey(uint32_t, uint32_t, bool& down) { down = true; return 0; }
bool MatchBinding(uint32_t, uint32_t) { return false; }
