// The four option pages, in tab order, and what the frame and the pages ask
// of each other. Options thread only.
#pragma once
#include <windows.h>

// Dialog procedures of the page templates 202..205.
INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);         // 202 "Donate"
INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);      // 203
INT_PTR CALLBACK RulerDisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);  // 204
INT_PTR CALLBACK AdvancedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);      // 205

// The page window of tab index 0..3 while the options window exists, else nullptr.
HWND OptionsPageWindow(int index);

// Shows the current reference angle in the Ruler Display page's angle field
// when it differs from what the field holds (MsgOptionsRefresh).
void RefreshAngleField();
