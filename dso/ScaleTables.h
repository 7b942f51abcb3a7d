#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace qv::dso {

/// The meter's vertical and horizontal scales by index and model code. Frames carry only
/// indices; the model decides what they stand for. Every lookup is total: an index or model code
/// outside the tables (negative, fractional after rounding, too large, not a number) reads 0 or
/// an empty text, and model codes from 9 up have no scales.
class ScaleTables {
  public:
    static constexpr int kGains = 15;     ///< gain index 0..14
    static constexpr int kTimeBases = 27; ///< time-base index 0..26
    static constexpr int kModels = 9;     ///< model code 0..8

    ScaleTables() { MakeParameter(); }

    /// Fills every table; calling it again writes the same values.
    void MakeParameter();

    /// Volts per division (in gainUnit) at a gain index (rounded half to even) for a model.
    [[nodiscard]] double GainTable(double gainIndex, double model) const;
    [[nodiscard]] const std::string &GainUnit(double gainIndex, double model) const;
    /// Time per division (in TimeBaseUnit) at a time-base index for a model.
    [[nodiscard]] double TimeBaseTable(double timeIndex, double model) const;
    [[nodiscard]] const std::string &TimeBaseUnit(double timeIndex) const;
    /// The model's fastest time-base index; 0 for codes without scales.
    [[nodiscard]] int TimeBaseTop(double model) const;
    /// "mHz", "Hz ", "kHz", "MHz" at 0..3; empty elsewhere.
    [[nodiscard]] const std::string &FreqUnit(double index) const;

    /// Time per division in the unit whose inverse is the frequency base unit below: the table
    /// value, except that the one nanosecond entry (index 26) is given in microseconds, so that
    /// its inverse is in MHz like the rest of the microsecond row.
    [[nodiscard]] double timePerDivForFrequency(double timeIndex, double model) const;
    /// FreqUnit index of 1 / (time per division): 3 (MHz) above index 16, 2 (kHz) above 7,
    /// otherwise 1 (Hz). Compares the index as it stands (not rounded).
    [[nodiscard]] static int frequencyBaseUnit(double timeIndex);

  private:
    std::array<std::array<double, kModels>, kGains> gain_{};
    std::array<std::array<std::string, kModels>, kGains> gainUnit_{};
    std::array<std::array<double, kModels>, kTimeBases> timeBase_{};
    std::array<std::string, kTimeBases> timeBaseUnit_{};
    std::array<std::int16_t, kModels> top_{};
    std::array<std::string, 4> freqUnit_{};
};

} // namespace qv::dso
