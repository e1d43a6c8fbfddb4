// The work the low-level hooks do per event, minus the system calls: the
// key-state update under the HookLock, the modifiers, the binding match and
// the posted announcements. The system abandons a slow hook, and every event
// of the desktop passes through here, so it must be fast and never allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "base/app_messages.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "platform/window_messages.h"

// Every allocation of this program is counted, so that a measured loop can
// prove it made none. GCC takes the inlined malloc/free pairs of a replaced
// operator new for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<long> Allocations{0};
}

void* operator new(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
// The array forms forward to these.

namespace {

// A quiet input state, and posts that cost what PostMessageW's caller pays
// here: nothing recorded, nothing allocated.
void PrepareInput() {
    ResetFakeSystem();
    ResetBindingsToDefaults();
    ResetKeyStates();
    SetRoleFilter(-1);
    SetHookCaptureWindow(nullptr);
    MainWindow = reinterpret_cast<WindowHandle>(0x1001);
    platform::Messages.post = [](WindowHandle, uint32_t, uintptr_t, intptr_t) { return true; };
}

// The count is only a proof if the counting operator new is the one in use.
bool AllocationsAreCounted() {
    const long before = Allocations.load();
    int* probe = new int(1);
    benchmark::DoNotOptimize(probe);
    delete probe;
    return Allocations.load() != before;
}

void ReportAllocations(benchmark::State& state, long before) {
    const long made = Allocations.load() - before;
    if (!AllocationsAreCounted()) state.SkipWithError("allocations are not counted");
    state.counters["allocations"] = double(made);
    if (made != 0) state.SkipWithError("the hook path allocated memory");
}

// Typing with a held Shift and toggling the ruler: modifier keys, the bound
// key with an auto-repeat, and an unbound key.
void BM_KeyboardHookEvent(benchmark::State& state) {
    PrepareInput();
    const KeyboardHookEvent events[] = {
        {WmKeyDown, 0xA0}, {WmKeyDown, 0x90}, {WmKeyDown, 0x90}, {WmKeyUp, 0x90, 0, KeyFlagUp},
        {WmKeyDown, 0x41}, {WmKeyUp, 0x41, 0, KeyFlagUp}, {WmKeyUp, 0xA0, 0, KeyFlagUp}, {WmSysKeyDown, 0x12},
        {WmSysKeyUp, 0x12, 0, KeyFlagUp},
    };
    constexpr size_t count = sizeof events / sizeof events[0];
    size_t next = 0;
    const long before = Allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(HandleKeyboardHookEvent(0, events[next]));
        next = next + 1 == count ? 0 : next + 1;
        ClearKeyPending();  // as the main loop does when it takes the message
    }
    ReportAllocations(state, before);
}
BENCHMARK(BM_KeyboardHookEvent)->Repetitions(5)->ReportAggregatesOnly(true);

// Pointer movement with a click now and then; the pointer message stays
// pending most of the time, as it does while the main loop is busy drawing.
void BM_MouseHookEvent(benchmark::State& state) {
    PrepareInput();
    const MouseHookEvent events[] = {
        {WmMouseMove, 10, 10}, {WmMouseMove, 11, 10}, {WmLButtonDown, 11, 10}, {WmMouseMove, 12, 11},
        {WmLButtonUp, 12, 11}, {WmMouseWheel, 12, 11, 0xFF880000},
    };
    constexpr size_t count = sizeof events / sizeof events[0];
    size_t next = 0;
    const long before = Allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(HandleMouseHookEvent(0, events[next]));
        if (++next == count) {
            next = 0;
            ClearPointerPending();
            ClearKeyPending();
        }
    }
    ReportAllocations(state, before);
}
BENCHMARK(BM_MouseHookEvent)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
