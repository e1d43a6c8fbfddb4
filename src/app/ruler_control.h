// Whether the ruler is on, and which held-key mode drives the measurement.
// Main thread only.
#pragma once
#include <cstdint>

#include "base/clock.h"

extern bool RulerOn;
extern PerfStamp LastOffClock;

// Re-reads the toggle key; returns true when RulerOn changed (or force).
bool EvaluateRulerState(bool force);
// Switches the ruler over as one press of the toggle key would (the menu of
// the notification-area icon), leaving the key and its settings alone: the
// next press of the key switches it back. Unlike the key, it keeps no
// measurement (see measure/kept_measurement.h).
void SwitchRulerByCommand();
// Called after every change of RulerOn (the icon's tooltip follows it).
extern void (*RulerSwitched)();
// While the ruler is on: slow mouse, held role, pointer -> measurement. The
// keys are read back from the keyboard at most once per poll period.
void PollModes();
// A start point or reference angle that a held key moved and that is not yet
// saved is saved now: the program is about to end.
void SaveHeldMove();
// (Re)starts the one PollTimer: 100 ms while the ruler is on, else 1000 ms.
void ArmPollTimer();
// The PollTimer's tick.
void PollTimerTick();
