// Placeholder until the Ruler Display page lands.
#include "options/option_pages_win.h"

INT_PTR CALLBACK RulerDisplayPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
void RefreshAngleField() {}
