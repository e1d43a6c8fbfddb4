// Placeholder until the measurement model lands.
#include "display/display_object.h"

void UpdateFromPointer(int32_t, int32_t, bool, bool) {}
