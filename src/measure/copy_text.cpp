#include "measure/copy_text.h"

#include <cmath>
#include <cstdio>

CopyForm CopyFormFromStored(int32_t stored) { return stored == 1 ? CopyForm::Details : CopyForm::LabelText; }

std::string FormatCopyText(CopyForm form, const CopySource& source, MeasureUnit unit, const MonitorScale& scale) {
    const double dx = double(source.start.x) - double(source.end.x);
    const double dy = double(source.start.y) - double(source.end.y);
    const double length = std::sqrt(dx * dx + dy * dy);
    if (form == CopyForm::LabelText) {
        return FormatUnitLabel(dx, dy, length, source.shownAngle, source.reflectionMode, unit, scale);
    }
    const UnitInfo& info = InfoOf(unit);
    const double f = UnitsPerPixel(unit, scale);
    const int p = int(info.decimals);
    const double angle = std::fabs(source.shownAngle) < 0.05 ? 0.0 : source.shownAngle;
    char buffer[320];
    const int n = std::snprintf(
        buffer, sizeof buffer, "start %d,%d px; end %d,%d px; dx %.*f %s; dy %.*f %s; length %.*f %s; angle %.1f\xC2\xB0",
        int(source.start.x), int(source.start.y), int(source.end.x), int(source.end.y), p, std::fabs(dx) * f,
        info.shortName, p, std::fabs(dy) * f, info.shortName, p, length * f, info.shortName, angle);
    if (n < 0) return {};
    return std::string(buffer, size_t(n < int(sizeof buffer) ? n : int(sizeof buffer) - 1));
}
