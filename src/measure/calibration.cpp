#include "measure/calibration.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool Sane(double ppi) { return std::isfinite(ppi) && ppi >= MinPixelsPerInch && ppi <= MaxPixelsPerInch; }

// The whole text must be one number; a comma counts as the decimal point.
std::optional<double> ParseLength(std::string text) {
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

PixelSize ResolvePixelSize(std::optional<double> calibrated, std::optional<double> fromMonitor,
                           double scaleFactor) {
    if (calibrated && Sane(*calibrated)) return {*calibrated, PixelSizeSource::Calibrated};
    if (fromMonitor && Sane(*fromMonitor)) return {*fromMonitor, PixelSizeSource::Monitor};
    const double assumed = AssumedPixelsPerInch * scaleFactor;
    return {Sane(assumed) ? assumed : AssumedPixelsPerInch, PixelSizeSource::Assumed};
}

CalibrationResult Calibrate(double measuredPixels, const std::string& typedMillimetres) {
    CalibrationResult result;
    const std::optional<double> millimetres = ParseLength(typedMillimetres);
    if (!millimetres) {
        result.message = "Type the real length in millimetres as a number, for example 85.60.";
        return result;
    }
    if (*millimetres <= 0.0) {
        result.message = "The real length must be more than 0 mm.";
        return result;
    }
    if (!(measuredPixels >= 1.0)) {
        result.message = "Measure the known length with the ruler first: the line is empty.";
        return result;
    }
    const double ppi = measuredPixels / (*millimetres / 25.4);
    if (!Sane(ppi)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "%.0f pixels measured over %.2f mm gives %.0f pixels per inch; a screen has between %.0f and "
                      "%.0f. Check the line and the length.",
                      measuredPixels, *millimetres, ppi, MinPixelsPerInch, MaxPixelsPerInch);
        result.message = text;
        return result;
    }
    result.accepted = true;
    result.pixelsPerInch = ppi;
    return result;
}

std::string DescribePixelSize(const PixelSize& size) {
    char text[200];
    switch (size.source) {
        case PixelSizeSource::Calibrated:
            std::snprintf(text, sizeof text, "%.1f pixels per inch, calibrated on this monitor.", size.pixelsPerInch);
            break;
        case PixelSizeSource::Monitor:
            std::snprintf(text, sizeof text, "%.1f pixels per inch, from the size the monitor reports.",
                          size.pixelsPerInch);
            break;
        default:
            std::snprintf(text, sizeof text,
                          "%.1f pixels per inch: Windows' assumption at this display scale, the monitor reports "
                          "no size. Real lengths are only right after a calibration.",
                          size.pixelsPerInch);
            break;
    }
    return text;
}
