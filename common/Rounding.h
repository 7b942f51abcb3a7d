#pragma once
#include <cstdint>
#include <optional>

namespace qv::common {

/// Nearest integer value, halves to even (0.5 -> 0, 1.5 -> 2, -2.5 -> -2). NaN stays NaN.
[[nodiscard]] double roundHalfEven(double v);

/// Float to 16-bit integer: rounded half to even, saturating at the 16-bit range so that a hostile
/// value lands on the edge instead of wrapping; NaN gives 0.
[[nodiscard]] std::int16_t toInt16(double v);

/// Float to a table index: rounded half to even; nullopt when outside lo..hi (or not a number).
[[nodiscard]] std::optional<int> tableIndex(double v, int lo, int hi);

} // namespace qv::common
