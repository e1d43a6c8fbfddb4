// Puts text on the clipboard without ever blocking the main thread.
#pragma once
#include <string>

// Replaces the clipboard's content with the UTF-8 text as CF_UNICODETEXT.
// When another program holds the clipboard open, retries on a timer for a
// short while and then gives up quietly (the old content stays). Main thread.
void CopyTextToClipboard(const std::string& text);
