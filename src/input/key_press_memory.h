// What the hooks did with each key's press, so that the key's release gets
// the same treatment: what the applications see of one physical key is a
// matched pair, down then up, or nothing. Written by the hook procedures and
// by the key read-back that repairs a release the hooks missed.
#pragma once
#include <cstdint>

// The verdict for one key or button event, given what matching decided for
// it: a fresh press keeps that decision, and the press's auto-repeats follow
// it. A release reaches the applications when its press did, and also when
// the system holds the key down although the press was kept from them: under
// Wine a window that gets the focus or the pointer takes every key that is
// down on the X keyboard into the system's key state, swallowed presses
// included, and only the release can take such a key up again. Wheel
// notches (codes above 0xFF) stand alone and keep their own decision.
// Returns true to swallow. A combo that captures keys settles with
// swallowMatched set: it takes every fresh press, and a key that was already
// down when the capture began keeps reaching the applications.
bool SettleKeyEvent(uint32_t code, bool down, bool swallowMatched);

// Whether the hooks saw this very key code go down and not yet up
// (HookSeesKeyDown in hotkey_bindings.h also counts a modifier's sides).
bool HookSawKeyDown(uint32_t code);
// Whether the hooks saw the key go down, let the press reach the
// applications and have not seen it go up; pressedMs receives how long ago.
bool HookHoldsPassedKey(uint32_t code, uint32_t& pressedMs);
// Whether the hooks swallowed both the press and the release of this key,
// the release at most withinMs ago, and the key has seen no event since;
// forgets it, so that one such pair answers true once.
bool TakeSwallowedPair(uint32_t code, uint32_t withinMs);
// The keyboard shows the key up although the hooks hold it: they missed its
// release (no hook sees keys while the secure desktop is up). Forgets the
// press of this very key code, unless the hooks have seen it again meanwhile.
void ForgetMissedRelease(uint32_t code);

// Forgets every press: the hooks were installed or removed, so what they saw
// no longer tells what is down.
void ForgetKeyPresses();

// A hook that could not take the HookLock left the kept key state behind the
// keyboard; the next resync re-reads every key instead of only changed ones.
void NoteMissedKeyEvent();
bool TakeMissedKeyEvent();
