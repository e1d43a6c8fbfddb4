#include "overlay/overlay_timing.h"

#include <algorithm>
#include <limits>

namespace overlay_timing {

namespace {

int32_t SaturateToInt32(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// rlimit * alpha / fadeMs, truncated; a full jump when there is no fade time.
int32_t FadeStepSize(int32_t alpha, int32_t rlimit, int32_t fadeMs) {
    if (fadeMs <= 0) return JumpStep;
    const int64_t step = int64_t(RedrawLimitMs(rlimit)) * ClampAlpha(alpha) / fadeMs;
    return step == 0 ? 1 : SaturateToInt32(step);
}

}  // namespace

int32_t RedrawLimitMs(int32_t rlimit) { return rlimit < 1 ? 1 : rlimit; }

int32_t ClampAlpha(int32_t alpha) { return std::clamp(alpha, 0, 255); }

RedrawDecision DecideRedraw(uint32_t elapsedMs, int32_t rlimit) {
    const uint32_t limit = uint32_t(RedrawLimitMs(rlimit));
    if (elapsedMs >= limit) return {true, 0};
    return {false, limit - elapsedMs};
}

RedrawDecision ScheduleRedraw(PerfStamp& redrawClock, int32_t rlimit) {
    const RedrawDecision decision = DecideRedraw(PerfClock::Elapsed(redrawClock), rlimit);
    if (decision.drawNow) PerfClock::Restart(redrawClock);
    return decision;
}

void BeginFadeIn(FadeState& fade, int32_t alpha, int32_t rlimit, int32_t fadeMs) {
    fade.target = ClampAlpha(alpha);
    fade.step = FadeStepSize(alpha, rlimit, fadeMs);
}

void BeginFadeOut(FadeState& fade, int32_t alpha, int32_t rlimit, int32_t fadeMs) {
    fade.target = 0;
    fade.step = -FadeStepSize(alpha, rlimit, fadeMs);
}

FadeTimer AdvanceFade(FadeState& fade, bool start, uint32_t elapsedMs, int32_t rlimit) {
    if (!start) {
        const int64_t change = int64_t(fade.step) * int64_t(elapsedMs) / RedrawLimitMs(rlimit);
        fade.current = int32_t(std::clamp<int64_t>(int64_t(fade.current) + change, 0, 255));
    }
    const bool finished = (fade.step >= 0 && fade.current >= fade.target) ||
                          (fade.step <= 0 && fade.current <= fade.target);
    if (finished) {
        fade.current = fade.target;
        return FadeTimer::Kill;
    }
    return start ? FadeTimer::Start : FadeTimer::KeepAsIs;
}

FadeTimer FadeStepNow(FadeState& fade, PerfStamp& fadeClock, bool start, int32_t rlimit) {
    const uint32_t elapsed = PerfClock::Restart(fadeClock);
    return AdvanceFade(fade, start, elapsed, rlimit);
}

bool AdoptAlphaSetting(FadeState& fade, int32_t alpha) {
    const int32_t wanted = ClampAlpha(alpha);
    if (fade.target <= 0 || fade.target == wanted) return false;
    fade.current = wanted;
    fade.target = wanted;
    return true;
}

}  // namespace overlay_timing
