#include "output/SpectrumCsv.h"

#include "output/Csv.h"
#include "spectrum/SpectrumPeak.h"

namespace qv::output {
namespace {

constexpr double kDivsPerFrame = 12.8; ///< 256 samples span 12.8 divisions
constexpr double kUnitsPerDiv = 10;    ///< sample units per vertical division

/// One bin is 1 / (12.8 x time per division).
std::optional<double> frequencyOf(const SpectrumCsvInput &in, double bin) {
    if (!in.secondsPerDiv)
        return std::nullopt;
    return Csv::decimal(bin / (kDivsPerFrame * *in.secondsPerDiv));
}

/// A bin's magnitude as written: dB as the view has it, a linear one in volts.
std::optional<double> magnitudeOf(const SpectrumCsvInput &in, std::size_t bin) {
    if (in.dbScale)
        return in.bins[bin];
    return in.voltsPerUnit ? std::optional(in.bins[bin] * *in.voltsPerUnit) : std::nullopt;
}

} // namespace

std::optional<SpectrumPeak> spectrumPeak(const SpectrumCsvInput &in) {
    const auto bin = spectrum::highestPeak(in.bins);
    if (!bin)
        return std::nullopt;
    return SpectrumPeak{*bin, frequencyOf(in, static_cast<double>(*bin)), magnitudeOf(in, *bin)};
}

std::optional<double> voltsPerUnit(const common::Waveform &wave, double modelCode,
                                   const dso::ScaleTables &tables) {
    const double gain = tables.GainTable(wave.DsoParam[2], modelCode);
    const auto volts = inSi(gain, tables.GainUnit(wave.DsoParam[2], modelCode));
    if (!volts || volts->unit != "V" || !(gain > 0))
        return std::nullopt;
    return Csv::decimal(volts->value / kUnitsPerDiv);
}

std::optional<double> secondsPerDiv(const common::Waveform &wave, double modelCode,
                                    const dso::ScaleTables &tables) {
    const double timeBase = tables.TimeBaseTable(wave.DsoParam[0], modelCode);
    const auto seconds = inSi(timeBase, tables.TimeBaseUnit(wave.DsoParam[0]));
    if (!seconds || seconds->unit != "s" || !(timeBase > 0))
        return std::nullopt;
    return seconds->value;
}

std::string spectrumCsv(const SpectrumCsvInput &in) {
    std::string out;
    out += Csv::header("window", Csv::field(in.windowName));
    out += Csv::header("scale", in.dbScale ? "dB" : "linear");
    out += Csv::header("magnitude_unit", in.dbScale ? "dB" : "V");
    if (in.dbScale) {
        out += Csv::header("magnitude", "10*log10(|DFT(window*volts)| / 1 V)");
        out += Csv::header("db_reference", "1 V");
        out += Csv::header("db_floor", "-50 at 9.16675636485323e-10 V or less");
    } else {
        out += Csv::header("magnitude", "|DFT(window*volts)| / 256");
    }
    out += Csv::header("frequency_per_bin_hz", Csv::number(frequencyOf(in, 1)));
    const auto peak = spectrumPeak(in);
    out += Csv::header("peak_frequency_hz", Csv::number(peak ? peak->frequencyHz : std::nullopt));
    out += Csv::header("peak_magnitude", Csv::number(peak ? peak->magnitude : std::nullopt));
    out += "bin,frequency_hz,magnitude";
    out += Csv::kLineEnd;
    for (size_t i = 0; i < in.bins.size(); ++i) {
        out += std::to_string(i) + "," + Csv::number(frequencyOf(in, static_cast<double>(i))) +
               "," + Csv::number(magnitudeOf(in, i));
        out += Csv::kLineEnd;
    }
    return out;
}

} // namespace qv::output
