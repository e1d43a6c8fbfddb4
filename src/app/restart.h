// Self-restart with default settings, the run-once autostart entry, and the
// log-off handling.
#pragma once
#include <string>

// The program's own path; with arguments, quoted (unless it already begins
// with a double quote), a blank and the arguments. UTF-8.
std::string GetOwnCommandLine(const char* arguments);
void RegisterAutostart();
void LogOffHandling();
void RestoreDefaultsAndRestart();
