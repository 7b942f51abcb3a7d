#pragma once
#include "link/SimulatorSettings.h"

#include <array>

namespace qv::link {

/// Scope frames as the meter sends them: a header packet (number 1) with the settings and 16 data
/// packets (numbers 2..17) with 256 samples. The waveform is placed so that it crosses the
/// trigger level with the trigger slope at sample 125 - trigger position, where the program's
/// reconstruction looks for the crossing. No payload byte is ever 0xFF (the sync byte).
class DsoFrameSource {
  public:
    static constexpr int kSamples = 256;
    static constexpr int kPackets = 17;

    /// The 256 sample bytes of a frame (0..254).
    [[nodiscard]] static std::array<std::uint8_t, kSamples> samples(const DsoSignal &signal);
    /// The 17 packets of a frame of the given work mode (3 live, 4 and 5 stored).
    [[nodiscard]] static std::array<Packet, kPackets> frame(const DsoSignal &signal, int workMode);
    /// Index of the first sample past the trigger crossing: 125 - trigger position.
    [[nodiscard]] static int triggerSample(const DsoSignal &signal) {
        return 125 - signal.triggerPos;
    }
    /// Whether the slope code triggers on a rising edge (1 and 3), as the reconstruction reads it.
    [[nodiscard]] static bool rising(int slope) { return slope == 1 || slope == 3; }
};

} // namespace qv::link
