// What the program does when it is told to end: by the session's end or by
// a request of another instance.
#pragma once
#include <cstdint>

// The system announced a log-off or shut-down: save what a held key moved,
// register the autostart, restore the mouse speed and end the main loop.
void LogOffHandling();
// Another instance, or the options window's exit button, asks this one to
// end (request: InstanceRequestFlags): what a held key moved is saved first;
// after a restart request nothing more is saved, the next instance reads
// the settings.
void EndByRequest(intptr_t request);
