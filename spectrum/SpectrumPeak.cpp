#include "spectrum/SpectrumPeak.h"

namespace qv::spectrum {

std::optional<std::size_t> highestPeak(std::span<const double> bins) {
    std::optional<std::size_t> best;
    for (std::size_t k = 1; k < bins.size(); ++k) {
        const bool peak = bins[k] > bins[k - 1] && (k + 1 == bins.size() || bins[k] >= bins[k + 1]);
        if (peak && (!best || bins[k] > bins[*best]))
            best = k;
    }
    return best;
}

} // namespace qv::spectrum
