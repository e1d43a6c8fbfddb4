#include "overlay/frame_inputs.h"

#include <mutex>

FrameInputs ReadFrameInputs(RulerDisplayWindow& display, const Rect& screen, uintptr_t pointerShape, int32_t dpi) {
    FrameInputs in;
    in.start = display.measure.startPoint;
    in.current = display.measure.currentPoint;
    in.referenceAngle = display.measure.referenceAngle.load();
    in.reflectionMode = display.measure.reflectionMode;
    in.refnr = display.refnr.load();
    in.reflines = display.reflines.load();
    in.cross0 = display.cross0.load();
    in.antialias = display.antialias.load();
    in.numbers = display.numbers.load();
    in.linethick = display.linethick.load();
    in.alpha = display.alpha.load();
    in.fadeAlpha = display.currentAlpha;
    in.slowKey = display.measure.slowKey;
    in.loupe = display.loupe.load();
    in.loupezoom = display.loupezoom.load();
    in.loupesize = display.loupesize.load();
    in.spacing = display.measure.spacing;
    in.edgesPending = display.edgesPending;
    {
        std::lock_guard<std::recursive_mutex> lock(display.DisplayLock);
        in.fontChosen = display.fontChosen;
        in.fontGeneration = display.fontGeneration;
    }
    in.screen = screen;
    in.pointerShape = pointerShape;
    in.dpi = dpi;
    return in;
}
