// The icon in the notification area: present from start-up to exit, back
// after Explorer restarts (and fresh after a change of the display scale), a
// tooltip that says whether the ruler is on, a left click (or Enter/Space on
// the focused icon) that switches the ruler, and a menu on right click (or
// the menu key). Main thread.
#pragma once

void StartTrayIcon();
void StopTrayIcon();
