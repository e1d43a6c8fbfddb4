#include "settings/usable_values.h"

#include <cmath>

int32_t UsableReflectionCount(int32_t refnr) {
    if (refnr < 0) return 0;
    return refnr > kMaxReflections ? kMaxReflections : refnr;
}

double UsableLineThickness(double linethick) {
    if (!(linethick > 0.0)) return 0.0;  // NaN too
    return linethick > kMaxLineThickness ? kMaxLineThickness : linethick;
}

double UsableAngle(double degrees) {
    if (!std::isfinite(degrees)) return 0.0;
    if (degrees >= -180.0 && degrees <= 180.0) return degrees;
    const double turned = std::remainder(degrees, 360.0);  // -180..180
    return turned == -180.0 ? 180.0 : turned;
}
