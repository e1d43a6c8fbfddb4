// Small control operations shared by the option pages. Options thread only.
#pragma once
#include <windows.h>

// The dialog's direct control with that id, else the first match found by
// walking its child dialogs (class #32770) depth-first; nullptr when none.
HWND FindDlgItemDeep(HWND dialog, int id);
// Enables or disables the control that FindDlgItemDeep finds.
void EnableDlgItemDeep(HWND dialog, int id, bool enable);
// Check state of a direct control: values above 2 are set as 2.
void SetCheck(HWND dialog, int id, int value);
// Check state (two low bits) of a direct control; 0 when there is none.
int GetCheck(HWND dialog, int id);
// Sets the track bar's range (only when min <= max, without redraw) and then
// its position (with redraw).
void SetSlider(HWND dialog, int id, int position, int min, int max);
int GetSlider(HWND dialog, int id);
