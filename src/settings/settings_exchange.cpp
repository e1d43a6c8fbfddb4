// Placeholder until the settings store lands.
#include "settings/settings.h"

GeneralSettings Settings;
std::atomic<bool> RestoreFlag{false};

void SettingsExchange(bool) {}
