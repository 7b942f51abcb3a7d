#pragma once
#include <cstddef>
#include <optional>
#include <span>

namespace qv::spectrum {

/// The spectrum's highest peak that is not the DC bin: the bin from 1 up that stands above its
/// left neighbour and no lower than its right one (the last bin has only a left one), the highest
/// such bin, the lowest of equal ones. So the falling skirt of a large DC bin is no peak. None for
/// a spectrum without one (all bins equal, or falling from bin 0 on). Works on either scale.
[[nodiscard]] std::optional<std::size_t> highestPeak(std::span<const double> bins);

} // namespace qv::spectrum
