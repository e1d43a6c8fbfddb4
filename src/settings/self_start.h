// Self-restart with default settings and the run-once autostart entry.
#pragma once
#include <atomic>
#include <string>

// The program's own path; with arguments, quoted (unless it already begins
// with a double quote), a blank and the arguments. UTF-8.
std::string GetOwnCommandLine(const char* arguments);

// Set once the autostart entry was written in this run; never cleared.
extern std::atomic<bool> AutostartRegistered;

// Writes the current user's run-once entry "Measurix" = "<path>" -hide, once
// per run and only when the "autostart" setting is on.
void RegisterAutostart();
// Marks the settings for a restore of the defaults and starts the program
// anew with -restart, which ends this instance without saving.
void RestoreDefaultsAndRestart();
