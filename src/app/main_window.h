// The main thread's entry-level operations that other parts call.
#pragma once

// The program's module (HINSTANCE), kept at start-up.
extern void* ModuleHandle;

// Installs (true) or removes (false) both hooks when "usehooks" is on; a
// failed installation shows the one error box.
void SetInputMonitoring(bool install);
