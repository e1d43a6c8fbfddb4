// Everything an overlay frame is drawn from. Two equal records give the same
// pixels, so a pointer update that leaves the record of the last frame as it
// was needs no frame: a still ruler then costs nothing. Platform-free.
#pragma once
#include <cstdint>

#include "overlay/display_object.h"
#include "platform/types.h"

struct FrameInputs {
    // The measurement.
    Point start;
    Point current;
    double referenceAngle = 0.0;
    bool reflectionMode = false;
    // The display settings the line and the label are drawn with.
    int32_t refnr = 0;
    bool reflines = false;
    bool cross0 = false;
    bool antialias = false;
    bool numbers = false;
    double linethick = 0.0;
    int32_t alpha = 0;  // a new setting shows with the next frame
    // The fade's alpha on screen: a step without a new image is not shown
    // everywhere (Wine keeps the image blended with the alpha it came with),
    // so a fade is drawn frame by frame.
    int32_t fadeAlpha = 0;
    bool fontChosen = false;
    uint32_t fontGeneration = 0;
    // The loupe shows while the slow key is held, with its own settings.
    bool slowKey = false;
    bool loupe = false;
    int32_t loupezoom = 0;
    int32_t loupesize = 0;
    // The space around the pointer while the spacing key shows it, and
    // whether the screen is being read for the edge keys (nothing drawn).
    Rect spacing;
    bool edgesPending = false;
    // What the system adds: the desktop the line is cut to, and the pointer
    // shape the label keeps clear of (0: none shown).
    Rect screen;
    uintptr_t pointerShape = 0;
    int32_t dpi = 96;  // of the monitor under the pointer: the label's size follows it

    friend bool operator==(const FrameInputs&, const FrameInputs&) = default;
};

// The record for the display object now; takes its DisplayLock for the font.
FrameInputs ReadFrameInputs(RulerDisplayWindow& display, const Rect& screen, uintptr_t pointerShape, int32_t dpi);
