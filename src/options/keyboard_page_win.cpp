// Placeholder until the Keyboard Shortcuts page lands.
#include "options/options_window.h"

void RefreshKeyPage() {}
