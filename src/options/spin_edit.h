// A numeric field made of an edit box and an up-down control: its value,
// range, step, wrap-around and decimals, and the text and grid arithmetic
// behind it. The window side is in spin_edit_win.h; this part is
// platform-free and unit-tested.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

// One numeric field. Pages keep one static record per field and give the
// first five members, e.g. SpinEdit angle{-180, 180, 360, 2, 11.25}.
struct SpinEdit {
    double min = 0;
    double max = 0;
    double wrap = 0;       // wrap-around period; 0 = clamp at the ends
    int32_t decimals = 0;  // minimum decimals shown; <= 0 = no minimum
    double step = 0;       // one arrow step
    double value = 0;
    WindowHandle editWindow = nullptr;  // the dialog's edit box (the frame in decimal mode)
    WindowHandle spinWindow = nullptr;  // the up-down control, or none
    WindowHandle textWindow = nullptr;  // the box that shows and takes the text
    void* textWindowProc = nullptr;     // the overlaid box's own procedure
    void* editWindowProc = nullptr;     // editWindow's procedure before the field took it
    int32_t busy = 0;                   // re-entry state, see spin_edit_win.cpp
    int32_t typedDecimals = 0;          // typed fraction length, point included; 0 = none
};

// Text cleaned at every keystroke: a "-" only as the first kept character,
// the first "." or "," kept as ".", later ones dropped, digits kept, all
// else dropped. typedDecimals is the fraction length, point included.
struct CleanedText {
    std::string text;
    int32_t typedDecimals = 0;
};
CleanedText CleanSpinText(const std::string& typed);

// Puts the field's limits in order: min < max (else 0 .. 2147483647), a
// negative wrap becomes 0, a step of 0 or less becomes 1.
void NormalizeSpinLimits(SpinEdit& field);

// Whether the up-down can count the value itself: whole numbers in a
// non-negative range with no minimum of decimals. hasSpin false also counts.
bool SpinIntegerMode(const SpinEdit& field, bool hasSpin);

// Wraps (when wrap is set and the value is outside the range) and clamps the
// field's value, and returns its text: "%lg", padded with zeros to the typed
// or minimum fraction length.
std::string FormatSpinValue(SpinEdit& field);

// Parses cleaned text with "%lg" into value; false (value untouched) when it
// does not parse.
bool ParseSpinText(const std::string& cleaned, double& value);

// Takes typed text: cleans it, remembers the typed decimals and parses it
// into the value, which keeps what it had when the text does not parse.
void TakeSpinText(SpinEdit& field, const std::string& typed);

// Decimal mode: the up-down counts grid positions 0..N.
int32_t SpinStepCount(const SpinEdit& field);           // N
double SpinGridValue(const SpinEdit& field, int32_t p);  // position -> value (unclamped)
int32_t SpinGridPosition(const SpinEdit& field, double value);
// A step of the arrows to position p of the up-down's range [lo, hi]: with
// wrap-around, p <= lo becomes hi and p >= hi becomes lo. Sets the value to
// the position's grid value clamped into the range and forgets the typed
// decimals. Returns the position the up-down must take: that of the value
// now shown (p when unchanged), so the next click steps from it.
int32_t TakeSpinStep(SpinEdit& field, int32_t p, int32_t lo, int32_t hi);
// Whether an EM_SETSEL (start, end) selects the whole text: start 0 and a
// negative end, as the up-down sends it to its partner (Wine's comctl32
// sends MAKELONG(0, -1), not -1).
bool IsSelectAll(uintptr_t start, intptr_t end);
// Integer mode: the up-down's range, the integer parts of the limits.
int32_t SpinIntegerLow(const SpinEdit& field);
int32_t SpinIntegerHigh(const SpinEdit& field);
// Increment of one acceleration entry multiplied by the integer step.
uint32_t ScaledAccelIncrement(uint32_t increment, double step);

// round() half away from zero, saturated to the 32-bit range.
int32_t RoundHalfAway(double value);
