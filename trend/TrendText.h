#pragma once
#include "trend/Point.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace qv::trend {

/// A value with six significant digits and "." as the decimal separator whatever the locale:
/// 3.30125, -0.0125, 1.23457e+06.
[[nodiscard]] std::string valueText(double v);

/// The points as CSV lines ending in CR LF: a header "time,value,unit", then per point its time
/// as `timeText` writes it, the value in full precision (empty for a gap) and the unit.
[[nodiscard]] std::string pointsCsv(std::span<const Point> points, std::string_view unit,
                                    const std::function<std::string(double)> &timeText);

} // namespace qv::trend
