#include "output/SpectrumCsv.h"

#include "output/Csv.h"

namespace qv::output {
namespace {

constexpr double kDivsPerFrame = 12.8; ///< 256 samples span 12.8 divisions

} // namespace

std::optional<double> voltsPerUnit(const common::Waveform &wave, double modelCode,
                                   const dso::ScaleTables &tables) {
    const double gain = tables.GainTable(wave.DsoParam[2], modelCode);
    const auto divisor = siDivisor(tables.GainUnit(wave.DsoParam[2], modelCode));
    if (!divisor || !(gain > 0))
        return std::nullopt;
    return gain / (10 * *divisor);
}

std::optional<double> secondsPerDiv(const common::Waveform &wave, double modelCode,
                                    const dso::ScaleTables &tables) {
    const double timeBase = tables.TimeBaseTable(wave.DsoParam[0], modelCode);
    const auto divisor = siDivisor(tables.TimeBaseUnit(wave.DsoParam[0]));
    if (!divisor || !(timeBase > 0))
        return std::nullopt;
    return timeBase / *divisor;
}

std::string spectrumCsv(const SpectrumCsvInput &in) {
    // One bin is 1 / (12.8 x time per division).
    std::optional<double> perBin;
    if (in.secondsPerDiv)
        perBin = 1.0 / (kDivsPerFrame * *in.secondsPerDiv);
    std::string out;
    out += Csv::header("window", Csv::field(in.windowName));
    out += Csv::header("scale", in.dbScale ? "dB" : "linear");
    out += Csv::header("magnitude_unit", in.dbScale ? "dB" : "V");
    out += Csv::header("frequency_per_bin_hz", Csv::number(perBin));
    out += "bin,frequency_hz,magnitude";
    out += Csv::kLineEnd;
    for (size_t i = 0; i < in.bins.size(); ++i) {
        std::optional<double> magnitude = in.bins[i];
        if (!in.dbScale)
            magnitude =
                in.voltsPerUnit ? std::optional(in.bins[i] * *in.voltsPerUnit) : std::nullopt;
        std::optional<double> frequency;
        if (perBin)
            frequency = static_cast<double>(i) / (kDivsPerFrame * *in.secondsPerDiv);
        out += std::to_string(i) + "," + Csv::number(frequency) + "," + Csv::number(magnitude);
        out += Csv::kLineEnd;
    }
    return out;
}

} // namespace qv::output
