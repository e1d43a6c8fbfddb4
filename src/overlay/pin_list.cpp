#include "overlay/pin_list.h"

std::string PinLabelText(const Pin& pin) { return FormatCopyText(CopyForm::LabelText, pin.measurement); }

int32_t PinList::Add(const Pin& pin) {
    int32_t slot = 0;
    if (count_ < MaxPins) {
        slot = SlotOf(count_++);
    } else {
        slot = first_;
        first_ = (first_ + 1) % MaxPins;
    }
    slots_[size_t(slot)] = pin;
    return slot;
}

std::string PinsCopyText(const PinList& pins, CopyForm form) {
    std::string text;
    for (int32_t i = 0; i < pins.Count(); ++i) {
        text += FormatCopyText(form, pins.AtSlot(pins.SlotOf(i)).measurement);
        text += "\r\n";
    }
    return text;
}
