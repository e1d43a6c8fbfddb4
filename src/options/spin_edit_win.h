// The window side of the numeric field: attaching it to a page's edit box and
// up-down control, and moving values between the field and a setting.
// Options thread only.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "options/spin_edit.h"

// Sets the field up on the page's WM_INITDIALOG and shows initialValue. In
// decimal mode a borderless box laid over the edit box takes over editId.
void AttachSpinEdit(SpinEdit& field, HWND dialog, int editId, int spinId, double initialValue);
// Brings value into range and shows it (display direction only).
void ShowValue(SpinEdit& field);
// Reads the typed text into value, then ShowValue.
void ReadText(SpinEdit& field);
// toField true: show the setting. toField false: read the text and, when the
// change came from the user, store it into the setting. Pages call the false
// direction for every WM_COMMAND that carries the field's edit id.
void SyncIntSetting(SpinEdit& field, std::atomic<int32_t>& setting, bool toField);
void SyncDoubleSetting(SpinEdit& field, std::atomic<double>& setting, bool toField);
