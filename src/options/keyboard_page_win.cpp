// Placeholder until the Keyboard Shortcuts page lands.
#include "options/option_pages_win.h"
#include "options/options_window.h"

INT_PTR CALLBACK KeyboardPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
void RefreshKeyPage() {}
