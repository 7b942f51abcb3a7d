#include "output/WaveformCsv.h"

#include "output/Csv.h"

#include <optional>

namespace qv::output {
namespace {

constexpr int kPoints = 256;          ///< points 0..255, the ones a waveform file keeps
constexpr double kUnitsPerDiv = 10;   ///< sample units per vertical division
constexpr double kPointsPerDiv = 20;  ///< points per horizontal division
constexpr double kCentrePoint = 125;  ///< the point under the screen's centre line
constexpr double kPointsPerTenth = 2; ///< a trigger position step is a tenth of a division

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string coupling(double code) {
    if (code == 0)
        return "GND";
    if (code == 1)
        return "DC";
    if (code == 3)
        return "AC";
    return {};
}

std::string withUnit(double v, const std::string &unit) {
    return unit.empty() ? Csv::number(v) : Csv::number(v) + " " + unit;
}

/// Volts of a value in sample units, seconds of a point index; none for an unknown scale.
struct Scales {
    double gain, timeBase;
    std::optional<double> vDiv, tDiv;
    [[nodiscard]] std::optional<double> volts(double units) const {
        if (!vDiv || gain == 0)
            return std::nullopt;
        return units * gain / (kUnitsPerDiv * *vDiv);
    }
    [[nodiscard]] std::optional<double> seconds(double point) const {
        if (!tDiv || timeBase == 0)
            return std::nullopt;
        return point * timeBase / (kPointsPerDiv * *tDiv);
    }
};

Scales scalesOf(const WaveformCsvInput &in) {
    const auto &p = in.wave.DsoParam;
    return {in.tables.GainTable(p[2], in.modelCode), in.tables.TimeBaseTable(p[0], in.modelCode),
            siDivisor(in.tables.GainUnit(p[2], in.modelCode)),
            siDivisor(in.tables.TimeBaseUnit(p[0]))};
}

} // namespace

std::string workModeOfTitle(const std::string &title, const std::string &modelName) {
    const std::string prefix = "Meter " + modelName;
    if (modelName.empty() || title.compare(0, prefix.size(), prefix) != 0)
        return {};
    return trimmed(std::string_view(title).substr(prefix.size()));
}

std::vector<std::pair<std::string, std::string>> waveformSettings(const WaveformCsvInput &in) {
    const auto &p = in.wave.DsoParam;
    const dso::ScaleTables &t = in.tables;
    const Scales s = scalesOf(in);
    return {
        {"model", in.modelName},
        {"work_mode", in.workMode},
        {"date", in.wave.WaveDate},
        {"time", in.wave.WaveTime},
        {"title", in.wave.WaveTitle},
        {"volts_per_div",
         withUnit(t.GainTable(p[2], in.modelCode), t.GainUnit(p[2], in.modelCode))},
        {"time_per_div", withUnit(t.TimeBaseTable(p[0], in.modelCode), t.TimeBaseUnit(p[0]))},
        {"sample_interval_s", Csv::number(s.seconds(1))},
        {"coupling", coupling(p[4])},
        {"trigger_slope", p[5] == 0 ? "falling" : "rising"},
        {"trigger_level_v", Csv::number(s.volts(p[6]))},
        {"trigger_position", Csv::number(p[1])},
        {"trigger_time_s", Csv::number(s.seconds(kCentrePoint + kPointsPerTenth * p[1]))},
        {"vertical_position", Csv::number(p[3])},
        {"zero_level", Csv::number(p[7])},
    };
}

std::string waveformCsv(const WaveformCsvInput &in) {
    std::string out;
    for (const auto &[key, value] : waveformSettings(in))
        out += Csv::header(key, Csv::field(value));
    out += "index,time_s,volts";
    out += Csv::kLineEnd;
    const Scales s = scalesOf(in);
    for (int i = 0; i < kPoints; ++i) {
        out += std::to_string(i) + "," + Csv::number(s.seconds(i)) + "," +
               Csv::number(s.volts(in.wave.WaveData[static_cast<size_t>(i)]));
        out += Csv::kLineEnd;
    }
    return out;
}

} // namespace qv::output
