// Slows the system mouse while the slow key is held, and restores the
// user's speed exactly once afterwards.
#pragma once

void SetSlowMouse(bool slow);
