// Placeholder until the hooks land.
#include "input/input_hooks.h"

bool InstallKeyboardHook(void*, bool) { return true; }
bool InstallMouseHook(void*, bool) { return true; }
