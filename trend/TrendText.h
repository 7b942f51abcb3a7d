#pragma once
#include "trend/Point.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace qv::trend {

/// A value with this many digits after the decimal point ("1.300"), or with six significant
/// digits when that is not known (-1: 3.30125, -0.0125, 1.23457e+06); "." as the decimal
/// separator whatever the locale.
[[nodiscard]] std::string valueText(double v, int decimals = -1);

/// The digits after the decimal point in the value field of a reading ("-1.300" 3, " 125.0" 1,
/// "  42" 0); -1 when it holds no number.
[[nodiscard]] int decimalsOf(std::string_view valueField);

/// A unit as the meter's display says it, with single blanks: "V  DC" is "V DC".
[[nodiscard]] std::string singleBlanks(std::string_view unit);

/// The points as CSV lines ending in CR LF: a header "time,value,unit", then per point its time
/// as `timeText` writes it, the value as the meter showed it (in full precision when the digits
/// are not known; empty for a gap) and the unit.
[[nodiscard]] std::string pointsCsv(std::span<const Point> points, std::string_view unit,
                                    const std::function<std::string(double)> &timeText);

} // namespace qv::trend
