#include "options/spin_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double IntLimit = 2147483647.0;

}  // namespace

CleanedText CleanSpinText(const std::string& typed) {
    CleanedText out;
    bool hasPoint = false;
    size_t pointAt = 0;
    for (char c : typed) {
        if (c == '-') {
            if (out.text.empty()) out.text += c;
        } else if (c == '.' || c == ',') {
            if (!hasPoint) {
                hasPoint = true;
                pointAt = out.text.size();
                out.text += '.';
            }
        } else if (c >= '0' && c <= '9') {
            out.text += c;
        }
    }
    out.typedDecimals = hasPoint ? int32_t(out.text.size() - pointAt) : 0;
    return out;
}

void NormalizeSpinLimits(SpinEdit& field) {
    if (!(field.min < field.max)) {
        field.min = 0;
        field.max = IntLimit;
    }
    if (field.wrap < 0) field.wrap = 0;
    if (field.step <= 0) field.step = 1;
}

bool SpinIntegerMode(const SpinEdit& field, bool hasSpin) {
    return !hasSpin || (field.min >= 0 && field.max <= IntLimit && field.decimals < 0 &&
                        field.step == std::floor(field.step));
}

std::string FormatSpinValue(SpinEdit& field) {
    if (field.wrap != 0 && (field.value < field.min || field.value > field.max)) {
        double m = std::fmod(field.value - field.min, field.wrap);
        if (m < 0) m += field.wrap;
        field.value = field.min + m;
    }
    field.value = std::clamp(field.value, field.min, field.max);

    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%lg", field.value);
    std::string text = buffer;

    size_t fractionLength = size_t(std::max(field.typedDecimals, 0));
    if (field.decimals > 0) fractionLength = std::max(fractionLength, size_t(field.decimals) + 1);
    size_t point = text.rfind('.');
    if (point == std::string::npos && fractionLength > 0) {
        point = text.size();
        text += '.';
    }
    if (point != std::string::npos) {
        while (text.size() - point < fractionLength) text += '0';
    }
    return text;
}

bool ParseSpinText(const std::string& cleaned, double& value) {
    double parsed = 0;
    if (std::sscanf(cleaned.c_str(), "%lg", &parsed) != 1) return false;
    value = parsed;
    return true;
}

void TakeSpinText(SpinEdit& field, const std::string& typed) {
    const CleanedText cleaned = CleanSpinText(typed);
    field.typedDecimals = cleaned.typedDecimals;
    ParseSpinText(cleaned.text, field.value);
}

int32_t SpinStepCount(const SpinEdit& field) {
    const double n = std::floor((field.max - field.min) / field.step + std::ldexp(1.0, -23)) + 2;
    return n >= IntLimit ? int32_t(IntLimit) : int32_t(n);
}

static double GridBase(const SpinEdit& field) { return std::ceil(field.min / field.step); }

double SpinGridValue(const SpinEdit& field, int32_t p) { return (GridBase(field) - 1 + p) * field.step; }

int32_t SpinGridPosition(const SpinEdit& field, double value) {
    return RoundHalfAway(1 - GridBase(field) + std::round(value / field.step));
}

int32_t TakeSpinStep(SpinEdit& field, int32_t p, int32_t lo, int32_t hi) {
    if (field.wrap != 0) {
        if (p <= lo) {
            p = hi;
        } else if (p >= hi) {
            p = lo;
        }
    }
    field.value = std::clamp(SpinGridValue(field, p), field.min, field.max);
    field.typedDecimals = 0;
    // Beyond an end the position names a value the field does not show;
    // left there, the next click would only come back to the end.
    return SpinGridPosition(field, field.value);
}

bool IsSelectAll(uintptr_t start, intptr_t end) { return start == 0 && int32_t(end) < 0; }

int32_t SpinIntegerLow(const SpinEdit& field) { return int32_t(std::max(field.min, -IntLimit)); }

int32_t SpinIntegerHigh(const SpinEdit& field) { return int32_t(std::min(field.max, IntLimit)); }

uint32_t ScaledAccelIncrement(uint32_t increment, double step) {
    const uint64_t product = uint64_t(increment) * uint64_t(std::min(step, 1e9));
    return uint32_t(std::min<uint64_t>(product, 1000000000));
}

int32_t RoundHalfAway(double value) {
    const double r = std::round(value);
    if (r >= IntLimit) return int32_t(IntLimit);
    if (r <= -IntLimit - 1) return int32_t(-IntLimit - 1);
    return int32_t(r);
}
