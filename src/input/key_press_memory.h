// What the hooks did with each key's press, so that the key's release gets
// the same treatment: an application that saw a key go down must see it go
// up, and one that never saw the press must not see a lone release either.
// Written by the hook procedures only; read by the key resync on any thread.
#pragma once
#include <cstdint>

// The verdict for one key or button event, given what matching decided for
// it: a fresh press keeps that decision, and the press's auto-repeats and
// its release follow it. Wheel notches (codes above 0xFF) stand alone and
// keep their own decision. Returns true to swallow.
bool SettleKeyEvent(uint32_t code, bool down, bool swallowMatched);
// The same while a combo captures: the capture takes every press, and every
// release and repeat of a press it took; a key that was already down when
// the capture began keeps reaching the applications. A release that comes
// after the capture has ended is passed on even when the capture took its
// press: a lone release harms no application, while under Wine a key whose
// release was swallowed can stay down in the system's key state.
bool SettleCapturedKeyEvent(uint32_t code, bool down);

// Whether the hooks saw this very key code go down and not yet up
// (HookSeesKeyDown in hotkey_bindings.h also counts a modifier's sides).
bool HookSawKeyDown(uint32_t code);

// Forgets every press: the hooks were installed or removed, so what they saw
// no longer tells what is down.
void ForgetKeyPresses();

// A hook that could not take the HookLock left the kept key state behind the
// keyboard; the next resync re-reads every key instead of only changed ones.
void NoteMissedKeyEvent();
bool TakeMissedKeyEvent();
