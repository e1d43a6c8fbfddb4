// Whether the ruler is on, and which held-key mode drives the measurement.
// Main thread only.
#pragma once
#include <cstdint>

#include "app/clock.h"

extern bool RulerOn;
extern PerfStamp LastOffClock;

// Re-reads the toggle key; returns true when RulerOn changed (or force).
bool EvaluateRulerState(bool force);
// While the ruler is on: slow mouse, held role, pointer -> measurement. The
// keys are read back from the keyboard at most once per poll period.
void PollModes();
// (Re)starts the one PollTimer: 100 ms while the ruler is on, else 1000 ms.
void ArmPollTimer();
// The PollTimer's tick.
void PollTimerTick();
