// The measurements pinned to the screen, each with how it was drawn: at most
// MaxPins, the oldest dropped for a new one. Platform-free; the windows that
// show them are the overlay windows' owner's.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "measure/copy_text.h"
#include "platform/font_description.h"
#include "platform/types.h"

constexpr int32_t MaxPins = 16;

struct Pin {
    MeasurementInUnit measurement;  // the label's text and the copy text come from it
    // The look of that moment: the line, the cross, and the label's place,
    // font (already sized for dpi) and DPI.
    double linethick = 1.0;
    bool antialias = true;
    bool cross0 = true;
    bool labelShown = true;
    Rect labelRect{};
    int32_t dpi = 96;
    FontDescription font{};
};

// The label a pin shows, in its own unit.
std::string PinLabelText(const Pin& pin);

// A ring of MaxPins slots; a pin keeps its slot until it is dropped, so that
// the slot can name the window that shows it.
class PinList {
public:
    // Adds the pin; returns its slot, which was the oldest pin's when the list was full.
    int32_t Add(const Pin& pin);
    void Clear() { count_ = 0; }
    int32_t Count() const { return count_; }
    // The slot of the index-th pin, oldest first (index < Count()).
    int32_t SlotOf(int32_t index) const { return (first_ + index) % MaxPins; }
    const Pin& AtSlot(int32_t slot) const { return slots_[size_t(slot)]; }

private:
    std::array<Pin, MaxPins> slots_{};
    int32_t first_ = 0;
    int32_t count_ = 0;
};

// "Copy pinned measurements": one line per pin, oldest first, each in the
// given form and in its own unit; lines end with CR LF, the last one too.
// Empty without pins.
std::string PinsCopyText(const PinList& pins, CopyForm form);
