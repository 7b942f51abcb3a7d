#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"

#include <optional>
#include <span>
#include <string>

namespace qv::output {

/// What the spectrum CSV is made of: bins 0..127 as the spectrum view scaled them, in the view's
/// scale, and the time per division the frequencies come from.
struct SpectrumCsvInput {
    std::string windowName;
    bool dbScale = false;
    std::span<const double> bins;        ///< the view's Spectrum(0..127)
    std::optional<double> voltsPerUnit;  ///< linear scale: volts of one sample unit
    std::optional<double> secondsPerDiv; ///< none when the time base is unknown
};

/// The spectrum's highest peak that is not the DC bin (spectrum::highestPeak): its bin, its
/// frequency (none when the time base is unknown) and its magnitude as the CSV writes it (none in
/// volts when the gain is unknown).
struct SpectrumPeak {
    std::size_t bin;
    std::optional<double> frequencyHz;
    std::optional<double> magnitude;
};
/// None when the spectrum has no peak beside bin 0.
[[nodiscard]] std::optional<SpectrumPeak> spectrumPeak(const SpectrumCsvInput &in);

/// The spectrum as CSV: "# key,value" lines (window, scale, magnitude unit, what the magnitude
/// is, frequency per bin, the highest peak's frequency and magnitude), then
/// "bin,frequency_hz,magnitude" per bin. A linear magnitude is the bin's DFT magnitude of the
/// windowed samples in volts divided by 256; a dB one is as drawn: 10*log10 of that DFT magnitude
/// (not divided by 256) over 1 V, and -50 where the magnitude is 9.16675636485323e-10 V or less.
/// Frequencies are the decimals the time base means, empty when it is unknown.
[[nodiscard]] std::string spectrumCsv(const SpectrumCsvInput &in);

/// The volts of one sample unit (volts per division / 10) and the seconds per division of a
/// waveform's settings, as decimals (Csv::decimal); none for scales the tables do not know.
[[nodiscard]] std::optional<double> voltsPerUnit(const common::Waveform &wave, double modelCode,
                                                 const dso::ScaleTables &tables);
[[nodiscard]] std::optional<double> secondsPerDiv(const common::Waveform &wave, double modelCode,
                                                  const dso::ScaleTables &tables);

} // namespace qv::output
