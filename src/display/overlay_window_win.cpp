// Placeholder until the overlay lands.
#include "display/display_object.h"

void DisplayStart() {}
void DisplayShutdown() {}
void RedrawScheduler() {}
void FadeIn(int32_t) {}
void FadeOut(int32_t) {}
