// Placeholder until the Advanced page lands.
#include "options/option_pages_win.h"

INT_PTR CALLBACK AdvancedPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
