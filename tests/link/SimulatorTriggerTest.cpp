#include "dso/Reconstruction.h"
#include "link/DsoFrameSource.h"

#include <gtest/gtest.h>

namespace qv::link {
namespace {

using dso::Rebuild;
using dso::Reconstruction;

/// A simulated frame at the fast time bases is realigned on its own trigger crossing: the
/// reconstruction finds the crossing where the meter put it.
TEST(SimulatorTriggerTest, ReconstructionFindsTheSimulatedCrossing) {
    struct Stage {
        const char *name;
        Rebuild (Reconstruction::*run)(const Reconstruction::Samples &, common::Waveform &);
    };
    const std::vector<Stage> stages{{"sinc1", &Reconstruction::sinc1},
                                    {"sinc3", &Reconstruction::sinc3},
                                    {"sinc4", &Reconstruction::sinc4}};
    for (const Stage &stage : stages) {
        for (WaveShape shape : {WaveShape::Sine, WaveShape::Square, WaveShape::Triangle}) {
            for (int slope : {0, 1}) {
                for (int pos : {-40, -7, 0, 12, 40}) {
                    for (int level : {-15, 0, 10}) {
                        SCOPED_TRACE(::testing::Message()
                                     << stage.name << " shape " << int(shape) << " slope " << slope
                                     << " pos " << pos << " level " << level);
                        const DsoSignal s{.triggerPos = pos,
                                          .slope = slope,
                                          .level = level,
                                          .zeroLevel = 130,
                                          .shape = shape,
                                          .amplitude = 35,
                                          .period = 48};
                        const auto bytes = DsoFrameSource::samples(s);
                        Reconstruction::Samples raw{};
                        for (size_t i = 0; i < bytes.size(); ++i)
                            raw[i] = bytes[i];
                        common::Waveform wave;
                        wave.DsoParam[1] = pos;
                        wave.DsoParam[5] = slope;
                        wave.DsoParam[6] = level;
                        wave.DsoParam[7] = s.zeroLevel;
                        Reconstruction r;
                        ASSERT_EQ((r.*stage.run)(raw, wave), Rebuild::Written);
                        // The crossing sits at SincOut(62 - pos), point 2 (62 - pos) on screen.
                        const size_t at = static_cast<size_t>(2 * (62 - pos));
                        const bool up = DsoFrameSource::rising(slope);
                        EXPECT_EQ(wave.WaveData[at] >= level, up);
                        EXPECT_EQ(wave.WaveData[at - 2] >= level, !up);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace qv::link
