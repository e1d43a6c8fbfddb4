// The spin lock that guards the bindings, the modifier table and the hook
// handles between the main thread (hooks) and the options thread.
#pragma once
#include <cstdint>

// True when taken; timeoutMs -1 waits without limit. Not re-entrant.
bool AcquireHookLock(int32_t timeoutMs);
void ReleaseHookLock();
