#pragma once
#include "dmm/ReadingValue.h"
#include "trend/Point.h"
#include "trend/Statistics.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::trend {

/// The readings of one unit in time order, with the statistics of all of them.
struct Series {
    std::string unit;
    std::vector<Point> points; ///< gaps included
    Accumulator whole;
};

/// The history of the meter's readings as series: a reading in another unit than the one before
/// starts a new series; a reading without a number is a gap in the current series. Times never
/// go back: a reading stamped earlier than the one before takes that one's time. Units are kept
/// as the meter's display says them with single blanks ("V DC"); each reading keeps the number of
/// digits the meter showed after its decimal point.
class TrendModel {
  public:
    /// One reading of the meter's 16-character text at time t (seconds since 1970 UTC).
    void add(double t, std::string_view reading);
    /// A reading already split, shown with this many digits after the point (-1: unknown).
    void add(double t, const dmm::ReadingValue &reading, int decimals = -1);
    /// Forgets every reading.
    void clear();

    [[nodiscard]] const std::vector<Series> &series() const { return series_; }
    /// The units of the series, each once, in the order they first appeared.
    [[nodiscard]] std::vector<std::string> units() const;
    /// Unit of the newest series; empty when there is none.
    [[nodiscard]] std::string newestUnit() const;
    /// First and last time of all points; {0, 0} when there are none.
    [[nodiscard]] Range timeSpan() const;
    /// Points held, gaps included.
    [[nodiscard]] std::size_t pointCount() const { return points_; }
    /// Readings held: points that are no gap.
    [[nodiscard]] std::size_t readingCount() const { return points_ - gaps_; }
    /// Statistics of every reading in this unit.
    [[nodiscard]] Statistics wholeRun(std::string_view unit) const;
    /// Statistics of the readings in this unit whose time lies in the range.
    [[nodiscard]] Statistics within(std::string_view unit, Range time) const;

    /// Called after every change (a reading added, the model cleared).
    std::function<void()> changed;

  private:
    void notify() const;

    std::vector<Series> series_;
    std::size_t points_ = 0, gaps_ = 0;
    double lastTime_ = 0;
};

/// The points of a series whose time lies in the range (they are in time order).
[[nodiscard]] std::span<const Point> pointsIn(std::span<const Point> points, Range time);

} // namespace qv::trend
