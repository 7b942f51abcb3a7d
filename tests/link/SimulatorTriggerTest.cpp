#include "dso/Reconstruction.h"
#include "link/DsoFrameSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace qv::link {
namespace {

using dso::Reconstruction;

// The reconstruction of the fast time bases, realigning the simulated frame on its own trigger
// crossing, finds the crossing where the frame's settings put it.
TEST(SimulatorTriggerTest, ReconstructionFindsTheSimulatedCrossing) {
    using Stage =
        dso::Rebuild (Reconstruction::*)(const Reconstruction::Samples &, common::Waveform &);
    for (int k = 0; k < 3 * 4 * 5 * 3; ++k) {
        DsoSignal s{.zeroLevel = 130, .amplitude = 35, .period = 48};
        s.shape = std::array{WaveShape::Sine, WaveShape::Square, WaveShape::Triangle}[k % 3];
        s.slope = k / 3 % 4;
        s.triggerPos = std::array{-40, -7, 0, 12, 40}[k / 12 % 5];
        s.level = std::array{-15, 0, 10}[k / 60];
        SCOPED_TRACE(k); // shape k % 3, slope k / 3 % 4, position k / 12 % 5, level k / 60
        const auto bytes = DsoFrameSource::samples(s);
        const bool up = DsoFrameSource::rising(s.slope);
        ASSERT_LT(*std::max_element(bytes.begin(), bytes.end()), 0xFF) << "a sample as sync byte";
        Reconstruction::Samples raw{};
        std::copy(bytes.begin(), bytes.end(), raw.begin());
        for (Stage stage :
             {&Reconstruction::sinc1, &Reconstruction::sinc3, &Reconstruction::sinc4}) {
            common::Waveform wave;
            wave.DsoParam[1] = s.triggerPos;
            wave.DsoParam[5] = s.slope;
            wave.DsoParam[6] = s.level;
            wave.DsoParam[7] = s.zeroLevel;
            Reconstruction r;
            ASSERT_EQ((r.*stage)(raw, wave), dso::Rebuild::Written);
            // The crossing sits at SincOut(62 - pos), point 2 (62 - pos) on screen.
            const auto at = static_cast<std::size_t>(2 * (62 - s.triggerPos));
            EXPECT_EQ(wave.WaveData[at] >= s.level, up);
            EXPECT_EQ(wave.WaveData[at - 2] >= s.level, !up);
        }
    }
}

} // namespace
} // namespace qv::link
