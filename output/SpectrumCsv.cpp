#include "output/SpectrumCsv.h"

#include "output/Csv.h"

namespace qv::output {
namespace {

constexpr double kDivsPerFrame = 12.8; ///< 256 samples span 12.8 divisions
constexpr double kUnitsPerDiv = 10;    ///< sample units per vertical division

} // namespace

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
    // One bin is 1 / (12.8 x time per division).
    const auto frequency = [&in](double bin) -> std::optional<double> {
        if (!in.secondsPerDiv)
            return std::nullopt;
        return Csv::decimal(bin / (kDivsPerFrame * *in.secondsPerDiv));
    };
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
    out += Csv::header("frequency_per_bin_hz", Csv::number(frequency(1)));
    out += "bin,frequency_hz,magnitude";
    out += Csv::kLineEnd;
    for (size_t i = 0; i < in.bins.size(); ++i) {
        std::optional<double> magnitude = in.bins[i];
        if (!in.dbScale)
            magnitude =
                in.voltsPerUnit ? std::optional(in.bins[i] * *in.voltsPerUnit) : std::nullopt;
        out += std::to_string(i) + "," + Csv::number(frequency(static_cast<double>(i))) + "," +
               Csv::number(magnitude);
        out += Csv::kLineEnd;
    }
    return out;
}

} // namespace qv::output
