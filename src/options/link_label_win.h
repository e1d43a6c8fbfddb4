// Static texts that work as web links, and opening an address.
#pragma once
#include <windows.h>

// Opens the address with the system's default handler; on failure beeps and
// shows the address in a box titled "Could not open URL".
void OpenUrl(const wchar_t* address);

// Turns the page's static text into a link that opens its own text.
void MakeLinkLabel(HWND page, int id);
