#pragma once
#include "common/Form.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace qv::dso {

/// The measurements of a trace beyond the screen's five readouts, in display order.
enum class Quantity {
    Maximum,
    Minimum,
    Amplitude, ///< top - base
    Mean,
    CycleRms, ///< RMS over whole periods
    Period,
    Frequency,
    PositiveWidth,
    NegativeWidth,
    DutyCycle, ///< positive width / period
    RiseTime,  ///< 10 % to 90 % of top - base
    FallTime,
    Overshoot,  ///< (maximum - top) / amplitude
    Undershoot, ///< (base - minimum) / amplitude
};
inline constexpr std::size_t kQuantities = 14;

/// Why a measurement has no value.
enum class Why {
    Measured,     ///< it has one
    UnknownScale, ///< the volts or the time per division are not known
    Clipped,      ///< the trace runs into the screen's top or bottom edge
    FewCrossings, ///< fewer than two crossings of the mid level (no whole period or pulse)
    NoRisingEdge, ///< no rising edge that goes from 10 % to 90 % inside the frame
    NoFallingEdge,
    Flat, ///< no amplitude: top and base are one level
};

/// One measurement: its value in V, s, Hz or % and the step its scale resolves, in that unit.
struct Measurement {
    std::optional<double> value;
    double resolution = 0;
    Why why = Why::Measured; ///< Measured exactly when there is a value
};

using WaveMeasurementSet = std::array<Measurement, kQuantities>;

/// What the measurements need: the trace's points in sample units (0 = 0 V, ten to a division)
/// with the vertical position the screen adds to them, and the scales in SI units.
struct WaveInput {
    std::span<const double> points;
    double verticalPosition = 0;
    std::optional<double> voltsPerUnit;    ///< volts per division / 10
    std::optional<double> secondsPerPoint; ///< time per division / 20
};

/// The points the scope screen draws, 0..250: the ones measured.
inline constexpr std::size_t kShownPoints = 251;
/// Sample units from the screen's centre line to its top or bottom edge.
inline constexpr double kScreenHalfUnits = 50;

/// The points of a waveform that the screen draws.
[[nodiscard]] inline std::span<const double> shownPoints(const common::Waveform &wave) {
    return std::span<const double>(wave.WaveData).first(kShownPoints);
}

/// Measures a trace. Levels come from the histogram (top and base are its modes), times from
/// crossings of the mid level with a hysteresis of 10 % of the amplitude; see the README.
[[nodiscard]] WaveMeasurementSet measureWave(const WaveInput &in);

} // namespace qv::dso
