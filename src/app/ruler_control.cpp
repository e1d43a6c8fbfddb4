#include "app/ruler_control.h"

#include "app/app_messages.h"
#include "app/mouse_speed.h"
#include "display/display_object.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "options/options_window.h"
#include "platform/pointer.h"
#include "settings/settings.h"

bool RulerOn = false;
PerfStamp LastOffClock;
void (*RulerSwitched)() = nullptr;

namespace {

// Two switch-offs closer than this open the options window.
constexpr uint32_t DoubleSwitchOffMs = 1000;

// The held roles that drive the measurement, most specific first on ties.
constexpr int32_t MeasureRoles[] = {SetReflection, RotateReflection, MoveStartPoint};

// Flipped by each switch through a command; it inverts what the key says.
bool SwitchedByCommand = false;

}  // namespace

bool EvaluateRulerState(bool force) {
    HotkeyBinding toggleKey;
    GetBinding(BindingAt(ToggleRuler), toggleKey, true);
    bool wanted = Settings.toggle.load() ? toggleKey.toggle : toggleKey.held;
    if (Settings.invert.load()) wanted = !wanted;
    if (SwitchedByCommand) wanted = !wanted;
    if (!force && wanted == RulerOn) return false;

    RulerOn = wanted;
    ArmPollTimer();
    if (RulerOn) {
        SetRoleFilter(-1);
        PollModes();
        FadeIn(Settings.fade.load());
    } else {
        FadeOut(Settings.fade.load());
        if (!force && PerfClock::Elapsed(LastOffClock) < DoubleSwitchOffMs) {
            OpenOptionsDialog(false);
        }
        PerfClock::Restart(LastOffClock);
        SetSlowMouse(false);
        SetRoleFilter(ToggleRuler);
    }
    if (RulerSwitched) RulerSwitched();
    return true;
}

void SwitchRulerByCommand() {
    SwitchedByCommand = !SwitchedByCommand;
    EvaluateRulerState(false);
}

void PollModes() {
    if (!RulerOn) return;
    SetSlowMouse(IsRoleHeld(SlowMouse, true));
    const int32_t role = PickHeldRole(MeasureRoles, 3, true);
    const bool moveStart = role == MoveStartPoint || role == SetReflection;
    const bool rotate = role == RotateReflection || role == SetReflection;

    // An unreadable pointer position keeps the last one, so the measurement
    // stays where it was instead of jumping to the desktop's corner.
    Point pointer = TheDisplay.measure.currentPoint;
    platform::Pointer.position(pointer);
    UpdateFromPointer(pointer.x, pointer.y, moveStart, rotate);

    if (moveStart || rotate) {
        // The start point and the reference angle are persisted at once.
        SettingsExchange(true);
        if (WindowHandle options = OptionsWindowHandle.load()) {
            PostOnce(options, MsgOptionsRefresh, OptionsRefreshPending);
        }
    }
}

void PollTimerTick() {
    const bool changed = EvaluateRulerState(false);
    if (!changed && RulerOn) PollModes();
}
