#include "input/key_press_memory.h"

#include <atomic>

namespace {

constexpr uint8_t SeenDown = 0x01;
constexpr uint8_t Swallowed = 0x02;
constexpr uint8_t Captured = 0x04;

// One byte per key code 0..255. Relaxed atomics: the hook thread is the only
// writer, and a reader needs no order with other data.
std::atomic<uint8_t> Presses[256];
std::atomic<bool> MissedKeyEvent{false};

uint8_t PressOf(uint32_t code) { return code <= 0xFF ? Presses[code].load(std::memory_order_relaxed) : 0; }

}  // namespace

bool SettleKeyEvent(uint32_t code, bool down, bool swallowMatched) {
    if (code > 0xFF) return swallowMatched;
    std::atomic<uint8_t>& press = Presses[code];
    const uint8_t before = press.load(std::memory_order_relaxed);
    if (!down) {
        press.store(0, std::memory_order_relaxed);
        return (before & Swallowed) != 0;
    }
    if (before & SeenDown) return (before & Swallowed) != 0;  // an auto-repeat (or a press the capture took)
    press.store(uint8_t(SeenDown | (swallowMatched ? Swallowed : 0)), std::memory_order_relaxed);
    return swallowMatched;
}

bool SettleCapturedKeyEvent(uint32_t code, bool down) {
    if (code > 0xFF) return true;
    std::atomic<uint8_t>& press = Presses[code];
    const uint8_t before = press.load(std::memory_order_relaxed);
    if (!down) press.store(0, std::memory_order_relaxed);
    if (!down || (before & SeenDown)) return (before & (Swallowed | Captured)) != 0;
    press.store(uint8_t(SeenDown | Captured), std::memory_order_relaxed);
    return true;
}

bool HookSawKeyDown(uint32_t code) { return (PressOf(code) & SeenDown) != 0; }

void ForgetKeyPresses() {
    for (std::atomic<uint8_t>& press : Presses) press.store(0, std::memory_order_relaxed);
    MissedKeyEvent.store(false);
}

void NoteMissedKeyEvent() { MissedKeyEvent.store(true); }

bool TakeMissedKeyEvent() { return MissedKeyEvent.exchange(false); }
