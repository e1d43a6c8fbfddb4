// The overlay's timing arithmetic: the redraw limit that spaces frames at
// least rlimit ms apart, and the fade of the windows' constant alpha. The
// window procedure owns the timers; these functions only decide.
//
// Stored settings may hold values that the options pages never produce, so
// every function here guards its inputs:
//  - rlimit below 1 ms counts as 1 ms (no division by zero, no negative
//    timer periods);
//  - alpha outside 0..255 is clamped to that range where it is used;
//  - a fade time of 0 or less means "in one step" (step +-256);
//  - products are taken in 64 bits, so large settings cannot overflow.
#pragma once
#include <cstdint>

#include "base/clock.h"

namespace overlay_timing {

// The step of a fade that jumps to its target in one timer period.
constexpr int32_t JumpStep = 256;

// rlimit as the arithmetic uses it: at least 1 ms.
int32_t RedrawLimitMs(int32_t rlimit);
// alpha clamped to 0..255.
int32_t ClampAlpha(int32_t alpha);

// Whether a frame may be drawn now, `elapsedMs` after the last one; when not,
// the period of the timer that brings the deferred frame.
struct RedrawDecision {
    bool drawNow = false;
    uint32_t timerPeriodMs = 0;  // only when !drawNow; at least 1
};
RedrawDecision DecideRedraw(uint32_t elapsedMs, int32_t rlimit);
// The same for a request now; restarts redrawClock when the frame is drawn.
RedrawDecision ScheduleRedraw(PerfStamp& redrawClock, int32_t rlimit);

// The fade state of the display object: the constant alpha on screen, where
// the running fade ends, and the change per rlimit ms.
struct FadeState {
    int32_t current = 0;
    int32_t target = 0;
    int32_t step = JumpStep;
};

// Begins a fade towards `alpha` (in) or 0 (out) that takes about fadeMs:
// step = rlimit * alpha / fadeMs, truncated, at least 1 in size.
void BeginFadeIn(FadeState& fade, int32_t alpha, int32_t rlimit, int32_t fadeMs);
void BeginFadeOut(FadeState& fade, int32_t alpha, int32_t rlimit, int32_t fadeMs);

// What the fade timer must do after a fade step.
enum class FadeTimer { KeepAsIs, Start, Kill };

// One fade step `elapsedMs` after the previous one. The first call of a fade
// (start) only checks whether it is already finished; later calls move the
// alpha by step * elapsed / rlimit, clamped to 0..255. A fade is finished once
// the alpha reaches or passes its target; it then sits exactly on it.
FadeTimer AdvanceFade(FadeState& fade, bool start, uint32_t elapsedMs, int32_t rlimit);
// The same for a step now, timed by fadeClock (which it restarts).
FadeTimer FadeStepNow(FadeState& fade, PerfStamp& fadeClock, bool start, int32_t rlimit);

// A changed "alpha" setting shows at the next frame without a fade: when the
// overlay is shown or fading in towards an old value, it jumps to the new
// one. A fade-out (target 0) is left alone. Returns whether it changed.
bool AdoptAlphaSetting(FadeState& fade, int32_t alpha);

}  // namespace overlay_timing
