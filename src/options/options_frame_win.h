// What the options window's frame, thread and About page share among
// themselves. Options thread only.
#pragma once
#include <windows.h>

// Registers the tab, up-down and track bar classes.
void RegisterOptionsControls();

// The frame dialog's procedure; called directly with no window and
// MsgCreateOptions, it creates the frame.
INT_PTR CALLBACK OptionsFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
