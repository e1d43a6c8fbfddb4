#include "input/key_press_memory.h"

#include <atomic>

#include "base/clock.h"
#include "platform/key_state.h"

namespace {

constexpr uint8_t SeenDown = 0x01;
constexpr uint8_t Swallowed = 0x02;
// Set at the release: the hooks swallowed both the press and the release.
constexpr uint8_t SwallowedPair = 0x04;

// One byte per key code 0..255, and when its fresh press (or its swallowed
// pair's release) came, published before the byte that tells of it.
std::atomic<uint8_t> Presses[256];
std::atomic<uint64_t> PressStamps[256];
std::atomic<bool> MissedKeyEvent{false};

uint8_t PressOf(uint32_t code) { return code <= 0xFF ? Presses[code].load(std::memory_order_relaxed) : 0; }

uint32_t MsSinceRemembered(uint32_t code) {
    const uint64_t stamp = PressStamps[code].load(std::memory_order_relaxed);
    return PerfClock::Elapsed(PerfStamp{uint32_t(stamp >> 32), uint32_t(stamp)});
}

void RememberPress(uint32_t code, uint8_t press) {
    PerfStamp now;
    PerfClock::Now(now);
    PressStamps[code].store(uint64_t(now.seconds) << 32 | now.microseconds, std::memory_order_relaxed);
    Presses[code].store(press, std::memory_order_release);
}

// Within a low-level hook the system's key state still shows the key as it
// was before the event (Windows documents it; Wine updates it only once the
// hooks have let the event through).
bool SystemHoldsKeyDown(uint32_t code) { return (platform::KeyStates.asyncKeyState(int32_t(code)) & 0x8000) != 0; }

}  // namespace

bool SettleKeyEvent(uint32_t code, bool down, bool swallowMatched) {
    if (code > 0xFF) return swallowMatched;
    std::atomic<uint8_t>& press = Presses[code];
    const uint8_t before = press.load(std::memory_order_relaxed);
    if (!down) {
        const bool swallow = (before & Swallowed) != 0 && !SystemHoldsKeyDown(code);
        if (swallow) {
            RememberPress(code, SwallowedPair);
        } else {
            press.store(0, std::memory_order_relaxed);
        }
        return swallow;
    }
    if (before & SeenDown) return (before & Swallowed) != 0;  // an auto-repeat
    RememberPress(code, uint8_t(SeenDown | (swallowMatched ? Swallowed : 0)));
    return swallowMatched;
}

bool HookSawKeyDown(uint32_t code) { return (PressOf(code) & SeenDown) != 0; }

bool HookHoldsPassedKey(uint32_t code, uint32_t& pressedMs) {
    if (code > 0xFF || (Presses[code].load(std::memory_order_acquire) & (SeenDown | Swallowed)) != SeenDown) {
        return false;
    }
    pressedMs = MsSinceRemembered(code);
    return true;
}

bool TakeSwallowedPair(uint32_t code, uint32_t withinMs) {
    if (code > 0xFF) return false;
    uint8_t seen = Presses[code].load(std::memory_order_acquire);
    if (seen != SwallowedPair || MsSinceRemembered(code) > withinMs) return false;
    return Presses[code].compare_exchange_strong(seen, 0, std::memory_order_relaxed);
}

void ForgetMissedRelease(uint32_t code) {
    if (code > 0xFF) return;
    uint8_t seen = Presses[code].load(std::memory_order_relaxed);
    if (seen & SeenDown) Presses[code].compare_exchange_strong(seen, 0, std::memory_order_relaxed);
}

void ForgetKeyPresses() {
    for (std::atomic<uint8_t>& press : Presses) press.store(0, std::memory_order_relaxed);
    MissedKeyEvent.store(false);
}

void NoteMissedKeyEvent() { MissedKeyEvent.store(true); }

bool TakeMissedKeyEvent() { return MissedKeyEvent.exchange(false); }
