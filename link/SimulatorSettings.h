#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::link {

/// One packet of the meter's stream: sync byte, 16 payload bytes, model, work mode, number.
using Packet = std::array<std::uint8_t, 20>;

/// What the simulated meter is doing.
enum class SimMode {
    Dmm,       ///< live multimeter readings (work mode 0)
    Dso,       ///< live waveform frames (work mode 3)
    DsoMemory, ///< stored waveform frames (work modes 4 and 5)
    DmmMemory, ///< memory play-back: text messages (mode 2) and stored readings (mode 1)
};

/// "dmm", "dso", "dso-memory", "dmm-memory"; nullopt for anything else.
[[nodiscard]] std::optional<SimMode> parseSimMode(std::string_view name);

enum class WaveShape { Sine, Square, Triangle };

/// The waveform and settings of simulated scope frames. Positions and levels are in sample
/// units (10 per division); the header carries them as byte - 128.
struct DsoSignal {
    int model = 6;        ///< model code 0..8
    int timeBase = 12;    ///< time-base index 0..26
    int gain = 7;         ///< gain index 0..15
    int triggerPos = 0;   ///< trigger position, signed
    int verticalPos = 0;  ///< vertical position, signed
    int coupling = 1;     ///< coupling code: 0 GND, 1 DC, 3 AC
    int slope = 1;        ///< 1 or 3 rising, other codes falling
    int level = 0;        ///< trigger level above the zero level, signed
    int zeroLevel = 128;  ///< raw sample value of 0 V
    int memoryNumber = 0; ///< memory number of a stored frame
    WaveShape shape = WaveShape::Sine;
    double amplitude = 30; ///< peak, in sample units
    double period = 64;    ///< in samples
};

/// Options of the simulated meter.
struct SimOptions {
    SimMode mode = SimMode::Dmm;
    int model = 6;          ///< model code sent in every packet
    std::uint32_t seed = 1; ///< for the small variations of the readings
    int startOffset = 0;    ///< bytes of the first packet already gone (0..19): mid-packet start
    DsoSignal dso{};        ///< frames of the scope modes (its model is replaced by `model`)
    /// Live scope frames walk through the model's four fastest time bases (a plain one, then the
    /// three reconstructed ones), this many frames each; 0 keeps dso.timeBase.
    int timeBaseTour = 0;
};

} // namespace qv::link
