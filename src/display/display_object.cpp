#include "display/display_object.h"

RulerDisplayWindow TheDisplay;

void SetDisplayFont(const FontDescription* description) {
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    TheDisplay.fontChosen = description != nullptr;
    TheDisplay.fontDescription = description ? *description : FontDescription{};
    ++TheDisplay.fontGeneration;
}

bool GetDisplayFont(FontDescription& out) {
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    out = TheDisplay.fontDescription;
    return TheDisplay.fontChosen;
}
