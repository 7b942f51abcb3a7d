#include "link/DsoFrameSource.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv::link {

namespace {

constexpr int kMaxByte = 254; // 0xFF is the sync byte

[[nodiscard]] std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, long{kMaxByte}));
}

[[nodiscard]] std::uint8_t signedByte(int v) {
    return toByte(v + 128.0);
}

/// The shape at a phase in cycles, -1..1.
[[nodiscard]] double shapeAt(WaveShape shape, double phase) {
    const double f = phase - std::floor(phase);
    switch (shape) {
    case WaveShape::Square:
        return f < 0.5 ? 1.0 : -1.0;
    case WaveShape::Triangle:
        if (f < 0.25)
            return 4 * f;
        if (f < 0.75)
            return 2 - 4 * f;
        return 4 * f - 4;
    case WaveShape::Sine:
        break;
    }
    return std::sin(2 * std::numbers::pi * f);
}

/// The phase (cycles) at which the shape crosses the normalised level with the slope; 0 when
/// it never does.
[[nodiscard]] double crossingPhase(WaveShape shape, double level, bool rising) {
    constexpr int kSteps = 4096;
    for (int k = 0; k < kSteps; ++k) {
        const double a = shapeAt(shape, double(k) / kSteps);
        const double b = shapeAt(shape, double(k + 1) / kSteps);
        if (rising ? (a < level && b >= level) : (a >= level && b < level))
            return double(k + 1) / kSteps;
    }
    return 0;
}

} // namespace

std::array<std::uint8_t, DsoFrameSource::kSamples>
DsoFrameSource::samples(const DsoSignal &signal) {
    std::array<std::uint8_t, kSamples> out{};
    const bool up = rising(signal.slope);
    const double amplitude = signal.amplitude > 0 ? signal.amplitude : 1.0;
    const double period = signal.period >= 2 ? signal.period : 2.0;
    const double crossing = crossingPhase(signal.shape, signal.level / amplitude, up);
    // The crossing lies half-way between the samples before and after the trigger.
    const int after = triggerSample(signal);
    const double t0 = after - 0.5;
    for (int t = 0; t < kSamples; ++t) {
        const double phase = crossing + (t - t0) / period;
        out[static_cast<size_t>(t)] =
            toByte(signal.zeroLevel + amplitude * shapeAt(signal.shape, phase));
    }
    // Rounding to whole sample units must not move the crossing by a sample.
    const int before = after - 1;
    if (before < 0 || after >= kSamples || std::fabs(double(signal.level)) >= amplitude)
        return out;
    const int levelByte = signal.zeroLevel + signal.level;
    auto &a = out[static_cast<size_t>(after)];
    auto &b = out[static_cast<size_t>(before)];
    if (up) {
        a = std::max(a, toByte(levelByte));
        b = std::min(b, toByte(levelByte - 1));
    } else {
        a = std::min(a, toByte(levelByte - 1));
        b = std::max(b, toByte(levelByte));
    }
    return out;
}

std::array<Packet, DsoFrameSource::kPackets> DsoFrameSource::frame(const DsoSignal &signal,
                                                                   int workMode) {
    std::array<Packet, kPackets> packets{};
    for (size_t n = 0; n < packets.size(); ++n) {
        Packet &p = packets[n];
        p[0] = 0xFF;
        p[17] = toByte(signal.model);
        p[18] = toByte(workMode);
        p[19] = static_cast<std::uint8_t>(n + 1);
    }
    Packet &header = packets[0];
    header[1] = toByte(signal.timeBase);
    header[2] = signedByte(signal.triggerPos);
    header[3] = toByte(signal.gain);
    header[4] = signedByte(signal.verticalPos);
    header[5] = toByte(signal.coupling);
    header[6] = toByte(signal.slope);
    header[7] = signedByte(signal.level);
    header[8] = toByte(signal.zeroLevel);
    header[9] = toByte(signal.memoryNumber);

    const auto data = samples(signal);
    for (size_t i = 0; i < data.size(); ++i)
        packets[1 + i / 16][1 + i % 16] = data[i];
    return packets;
}

} // namespace qv::link
