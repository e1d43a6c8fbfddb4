// Placeholder until restart and autostart land.
#include "app/restart.h"

std::string GetOwnCommandLine(const char*) { return {}; }
void RegisterAutostart() {}
void LogOffHandling() {}
void RestoreDefaultsAndRestart() {}
