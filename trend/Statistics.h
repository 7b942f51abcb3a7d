#pragma once
#include "trend/Point.h"

#include <cstddef>
#include <span>

namespace qv::trend {

/// Count, extremes with their times, average, standard deviation and the last value of a set of
/// readings; gaps do not count. With count 0 the other fields are meaningless.
struct Statistics {
    std::size_t count = 0;
    double min = 0, minTime = 0;
    double max = 0, maxTime = 0;
    double mean = 0;
    double stddev = 0; ///< sample standard deviation (n - 1); 0 for a single reading
    double last = 0, lastTime = 0;
    /// Digits after the decimal point of the minimum, the maximum and the last reading as the
    /// meter showed them, and the most any reading had (-1: unknown).
    int minDecimals = -1, maxDecimals = -1, lastDecimals = -1, decimals = -1;
};

/// Statistics built one reading at a time; two accumulators over consecutive readings merge into
/// one. Sums are taken of the differences from the first reading, so a day of readings near a
/// large offset keeps its precision.
class Accumulator {
  public:
    void add(const Point &p);
    /// Adds readings that came after all readings added so far.
    void merge(const Accumulator &later);
    [[nodiscard]] Statistics result() const;

  private:
    Statistics s_;          ///< count, extremes and last; mean and deviation come from the sums
    double shift_ = 0;      ///< the first reading
    double sum_ = 0;        ///< of (v - shift)
    double sumSquares_ = 0; ///< of (v - shift)^2
};

/// The statistics of a run of readings in time order.
[[nodiscard]] Statistics statistics(std::span<const Point> points);

} // namespace qv::trend
