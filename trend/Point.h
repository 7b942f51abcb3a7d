#pragma once
#include <cmath>
#include <limits>

namespace qv::trend {

/// One reading on the time axis: seconds since 1970-01-01 UTC and the value; a value of NaN is a
/// gap (the meter showed no number, e.g. "OL").
struct Point {
    double t = 0;
    double v = 0;
    /// The digits after the decimal point the meter showed (3 for "1.300"); -1 when unknown.
    int decimals = -1;

    [[nodiscard]] bool isGap() const { return std::isnan(v); }
};

inline constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

/// A closed interval of time or value.
struct Range {
    double lo = 0, hi = 0;

    [[nodiscard]] double span() const { return hi - lo; }
    [[nodiscard]] bool contains(double x) const { return x >= lo && x <= hi; }
};

} // namespace qv::trend
