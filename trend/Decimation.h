#pragma once
#include "trend/Point.h"

#include <optional>
#include <span>
#include <vector>

namespace qv::trend {

/// The points of a series to draw in a time range over a number of pixel columns. Where a column
/// holds more than two readings only its minimum and maximum are kept, in time order, so a spike
/// of a single reading stays in the drawing; a gap in a column is kept once, between the
/// readings before it and those after it. The last reading before the range and the first after
/// it are kept too, so the line runs to the edges. Ranges with few readings come back whole.
[[nodiscard]] std::vector<Point> decimate(std::span<const Point> points, Range time, int columns);

/// The value range that shows every reading among the points with a margin of 5 % of the span
/// above and below; a flat line gets a span of its own. nullopt when all are gaps.
[[nodiscard]] std::optional<Range> valueRange(std::span<const Point> points);

} // namespace qv::trend
