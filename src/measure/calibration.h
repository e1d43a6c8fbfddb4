// The physical size of a monitor's pixels: which source wins, and the
// calibration the user makes by measuring a known length on screen.
// Platform-free.
#pragma once
#include <optional>
#include <string>

// A screen outside this range is not a screen: such a calibration is a
// mis-measurement (or a typing error) and is refused.
constexpr double MinPixelsPerInch = 20.0;
constexpr double MaxPixelsPerInch = 2000.0;
constexpr double AssumedPixelsPerInch = 96.0;

enum class PixelSizeSource { Assumed, Monitor, Calibrated };
struct PixelSize {
    double pixelsPerInch = AssumedPixelsPerInch;
    PixelSizeSource source = PixelSizeSource::Assumed;
};

// A calibration wins over the monitor's own description, which wins over
// Windows' assumption: 96 scaled pixels per inch, so at a display scale of
// 150 % an inch is 144 physical pixels. Values outside the sane range are
// skipped; a scale that is not a usable positive number counts as 100 %.
PixelSize ResolvePixelSize(std::optional<double> calibrated, std::optional<double> fromMonitor,
                           double scaleFactor);

struct CalibrationResult {
    bool accepted = false;
    double pixelsPerInch = 0.0;
    std::string message;  // why it was refused, for the user; empty when accepted
};

// measuredPixels: the length of the ruler's line in physical pixels;
// typedMillimetres: what the user typed as its real length ("85.60" or
// "85,60", spaces around allowed).
CalibrationResult Calibrate(double measuredPixels, const std::string& typedMillimetres);

// One line for the settings dialog, e.g. "144.0 pixels per inch: Windows'
// assumption at this display scale, the monitor reports no size. ..."
std::string DescribePixelSize(const PixelSize& size);
