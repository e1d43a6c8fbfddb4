// What the program does when the session ends.
#pragma once

// The system announced a log-off or shut-down: register the autostart,
// restore the mouse speed and end the main loop.
void LogOffHandling();
