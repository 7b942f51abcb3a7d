#include "spectrum/SpectrumPeak.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace qv::spectrum {
namespace {

TEST(SpectrumPeak, HighestPeakBesideTheDcBin) {
    const std::vector<std::pair<std::vector<double>, std::optional<std::size_t>>> rows = {
        {{9, 5, 1, 3, 2, 0}, 3},    // the DC bin and its falling skirt are no peak
        {{1, 2, 6, 6, 1, 7, 0}, 5}, // the highest; a flat top counts at its first bin
        {{0, 2, 6, 6, 1, 5, 0}, 2}, // equal bins: the lower one
        {{0, 1, 2, 3}, 3},          // the last bin has only a left neighbour
        {{-50, -50, -50, -50}, {}}, // nothing but the dB floor
        {{0, 0, 0}, {}},            // a zero waveform
        {{8, 7, 6, 5}, {}},         // falling from bin 0 on
        {{4}, {}},
    };
    for (const auto &[bins, peak] : rows)
        EXPECT_EQ(highestPeak(bins), peak) << bins.size() << ":" << bins[0];
}

} // namespace
} // namespace qv::spectrum
