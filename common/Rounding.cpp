#include "common/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qv::common {

double roundHalfEven(double v) {
    if (!std::isfinite(v))
        return v;
    const double floor = std::floor(v);
    const double diff = v - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int16_t toInt16(double v) {
    if (std::isnan(v))
        return 0;
    using Limits = std::numeric_limits<std::int16_t>;
    return static_cast<std::int16_t>(
        std::clamp(roundHalfEven(v), double(Limits::min()), double(Limits::max())));
}

std::optional<int> tableIndex(double v, int lo, int hi) {
    const double r = roundHalfEven(v);
    if (!(r >= lo && r <= hi))
        return std::nullopt;
    return static_cast<int>(r);
}

} // namespace qv::common
