#pragma once
#include <cstddef>
#include <span>
#include <vector>

namespace qv::dso {

/// A crossing of the mid level that the hysteresis band confirmed.
struct Edge {
    double at;   ///< fractional point index where the trace meets the mid level
    bool rising; ///< true for a rising edge
};

/// The edges of a trace, in time order, rising and falling alternately. An edge counts once the
/// trace has gone from one side of the band mid ± halfBand to the other; its time is the last
/// crossing of mid itself on the way (interpolated between points). The trace's start, which may
/// begin inside the band, gives no edge. No edges when halfBand is not above 0.
[[nodiscard]] std::vector<Edge> findEdges(std::span<const double> points, double mid,
                                          double halfBand);

/// The fractional index where the straight line from point i to point i + 1 meets level, which
/// lies between them; always within i .. i + 1.
[[nodiscard]] double crossingAt(std::span<const double> points, std::size_t i, double level);

} // namespace qv::dso
