#include "app/ruler_control.h"

#include <optional>

#include "app/mouse_speed.h"
#include "base/app_messages.h"
#include "base/debug_trace.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "measure/kept_measurement.h"
#include "measure/measure_model.h"
#include "options/options_window.h"
#include "overlay/display_object.h"
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
// Set while a command (the icon's menu or a click on it) switches.
bool SwitchingByCommand = false;

// The keyboard hook keeps the key states current; reading them back from the
// keyboard only repairs what it missed, and under Wine every key read is a
// round trip to the server. So the read-back runs at most once per poll
// period, also while pointer moves keep re-arming the poll timer.
constexpr uint32_t KeyReadBackMs = 100;
PerfStamp LastKeyReadBack;

bool KeyReadBackDue() {
    if (PerfClock::Elapsed(LastKeyReadBack) < KeyReadBackMs) return false;
    PerfClock::Restart(LastKeyReadBack);
    return true;
}

// A start point or reference angle moved by a held key and not yet saved.
// Saving writes every setting, so a drag saves at most once a second while
// the key is held and once more when it is released (or the ruler goes off),
// rather than at every move; the store ends up the same. An end of the
// program saves it first (SaveHeldMove).
constexpr uint32_t HeldMoveSaveMs = 1000;
bool HeldMoveUnsaved = false;
PerfStamp LastHeldMoveSave;

// Whether a reading of the pointer may move the measurement. Under Wine it
// can be false, and the mouse hook tells when (see PointerReadingTrue). Taken
// as a move, such a reading drags the start point by a false offset, off the
// desktop, where it is clamped and the measured vector lost. So false
// readings are passed over, and the first true one moves the measurement by
// the whole way.
bool ReadingUsable(Point reading) {
    Point reported;
    // The check reads the monitors' layout (under Wine several trips to the
    // server); a position the system reads back as the pointer's needs none.
    if (!LatestPointerReport(reported) || reported == reading) return true;
    return PointerReadingTrue(reading, reported);
}

// Without the keyboard hook nothing announces the copy key, so the poll
// does: the binding's toggle flips once per press, also for a press that
// fell between two polls. The first poll after the ruler came on (or after
// the hook went) only notes the toggle.
bool CopyToggleSeen = false;
bool CopyToggleUnknown = true;

void PollCopyKey() {
    if (KeyboardHookInstalled()) {
        CopyToggleUnknown = true;
        return;
    }
    HotkeyBinding copyKey;
    GetBinding(BindingAt(CopyMeasurement), copyKey, false);
    if (!CopyToggleUnknown && copyKey.toggle != CopyToggleSeen) {
        PostOnce(MainWindow.load(), MsgCopyMeasurement, CopyPending);
    }
    CopyToggleSeen = copyKey.toggle;
    CopyToggleUnknown = false;
}

void FollowPointer(bool readKeysBack) {
    if (!RulerOn) return;
    PollCopyKey();
    const bool slow = IsRoleHeld(SlowMouse, readKeysBack);
    SetSlowMouse(slow);
    TheDisplay.measure.slowKey = slow;  // the loupe shows while it is held
    TheDisplay.measure.snapKey = IsRoleHeld(SnapPoint, false);
    TheDisplay.measure.spacingKey = IsRoleHeld(ShowSpacing, false);
    const int32_t role = PickHeldRole(MeasureRoles, 3, false);
    const bool moveStart = role == MoveStartPoint || role == SetReflection;
    const bool rotate = role == RotateReflection || role == SetReflection;

    // An unreadable pointer position keeps the last one, so the measurement
    // stays where it was instead of jumping to the desktop's corner.
    const MeasureState& measure = TheDisplay.measure;
    const Point current = measure.currentPoint;
    const Point start = measure.startPoint;
    Point pointer = current;
    uintptr_t shape = 0;
    const bool read = platform::Pointer.read(pointer, shape);

    const bool usable = ReadingUsable(pointer);
    if (usable) {
        UpdateFromPointer(pointer.x, pointer.y, read ? std::optional<uintptr_t>(shape) : std::nullopt, moveStart,
                          rotate);
    }
    if (TraceEnabled() && (role >= 0 || !usable || !(pointer == current))) {
        Point reported = pointer;
        LatestPointerReport(reported);
        Trace("FP role=%d read=%d ptr=%d,%d hook=%d,%d cur=%d,%d start=%d,%d -> ", int(role), read ? 1 : 0,
              int(pointer.x), int(pointer.y), int(reported.x), int(reported.y), int(current.x), int(current.y),
              int(start.x), int(start.y));
        if (!usable) Trace("skipped\n");
        else Trace("cur=%d,%d start=%d,%d angle=%.1f\n", int(measure.currentPoint.x), int(measure.currentPoint.y),
                   int(measure.startPoint.x), int(measure.startPoint.y), measure.referenceAngle.load());
    }
    if (!usable) return;

    if (moveStart || rotate) {
        HeldMoveUnsaved = true;
        if (PerfClock::Elapsed(LastHeldMoveSave) >= HeldMoveSaveMs) SaveHeldMove();
        if (WindowHandle options = OptionsWindowHandle.load()) {
            PostOnce(options, MsgOptionsRefresh, OptionsRefreshPending);
        }
    } else {
        SaveHeldMove();
    }
}

}  // namespace

void SaveHeldMove() {
    if (!HeldMoveUnsaved) return;
    HeldMoveUnsaved = false;
    PerfClock::Restart(LastHeldMoveSave);
    SettingsExchange(true);
}

bool EvaluateRulerState(bool force) {
    HotkeyBinding toggleKey;
    GetBinding(BindingAt(ToggleRuler), toggleKey, true);
    PerfClock::Restart(LastKeyReadBack);
    bool wanted = Settings.toggle.load() ? toggleKey.toggle : toggleKey.held;
    if (Settings.invert.load()) wanted = !wanted;
    if (SwitchedByCommand) wanted = !wanted;
    if (!force && wanted == RulerOn) return false;

    RulerOn = wanted;
    ArmPollTimer();
    // At start-up nothing was measured yet. Later a switch-off by the key
    // keeps what the ruler showed; one from the icon does not, since the line
    // then ends at the icon.
    if (force) {
        KeepMeasurement(TheDisplay.measure, false);
    } else if (!RulerOn && !SwitchingByCommand) {
        KeepMeasurement(TheDisplay.measure, true);
    }
    if (RulerOn) {
        SetRoleFilter(-1);
        CopyToggleUnknown = true;
        FollowPointer(false);
        FadeIn(Settings.fade.load());
    } else {
        FadeOut(Settings.fade.load());
        SaveHeldMove();
        if (!force && PerfClock::Elapsed(LastOffClock) < DoubleSwitchOffMs) {
            OpenOptionsDialog(false);
        }
        PerfClock::Restart(LastOffClock);
        SetSlowMouse(false);
        TheDisplay.measure.slowKey = false;
        TheDisplay.measure.snapKey = false;
        TheDisplay.measure.spacingKey = false;
        TheDisplay.measure.spacing = Rect{};
        SetRoleFilter(ToggleRuler);
    }
    if (RulerSwitched) RulerSwitched();
    return true;
}

void SwitchRulerByCommand() {
    SwitchedByCommand = !SwitchedByCommand;
    SwitchingByCommand = true;
    EvaluateRulerState(false);
    SwitchingByCommand = false;
}

void PollModes() { FollowPointer(KeyReadBackDue()); }

void PollTimerTick() {
    // The evaluation has just read the keys back.
    const bool changed = EvaluateRulerState(false);
    if (!changed && RulerOn) FollowPointer(false);
}
