#include "overlay/display_object.h"

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

PathSettings CurrentPathSettings(const RulerDisplayWindow& display) {
    PathSettings s;
    s.refnr = display.refnr.load();
    s.reflines = display.reflines.load();
    s.cross0 = display.cross0.load();
    return s;
}
