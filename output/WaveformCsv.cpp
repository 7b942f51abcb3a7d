#include "output/WaveformCsv.h"

#include "output/Csv.h"
#include "output/MeasurementRows.h"

#include <optional>
#include <string_view>
#include <utility>

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

/// A table value with its unit: "2 V", "0.4 us"; known when the value is above 0 and the unit one
/// of volts or seconds.
struct Scale {
    double value;
    std::string unit;
    std::string_view siUnit;
    std::optional<double> si; ///< in siUnit

    Scale(double v, const std::string &u, std::string_view siU) : value(v), unit(u), siUnit(siU) {
        const auto inUnits = inSi(v, u);
        if (v > 0 && inUnits && inUnits->unit == siUnit)
            si = inUnits->value;
    }
    [[nodiscard]] WaveformSetting setting(std::string key) const {
        return {std::move(key), si ? Csv::number(value) + " " + unit : std::string(),
                WaveformSetting::Kind::Scale, si, std::string(siUnit)};
    }
};

/// Volts of a value in sample units, seconds of a point index; none for an unknown scale.
struct Scales {
    Scale vDiv, tDiv;
    [[nodiscard]] std::optional<double> volts(double units) const {
        if (!vDiv.si)
            return std::nullopt;
        return Csv::decimal(units * *vDiv.si / kUnitsPerDiv);
    }
    [[nodiscard]] std::optional<double> seconds(double point) const {
        if (!tDiv.si)
            return std::nullopt;
        return Csv::decimal(point * *tDiv.si / kPointsPerDiv);
    }
};

Scales scalesOf(const WaveformCsvInput &in) {
    const auto &p = in.wave.DsoParam;
    const dso::ScaleTables &t = in.tables;
    return {{t.GainTable(p[2], in.modelCode), t.GainUnit(p[2], in.modelCode), "V"},
            {t.TimeBaseTable(p[0], in.modelCode), t.TimeBaseUnit(p[0]), "s"}};
}

WaveformSetting text(std::string key, std::string value) {
    return {std::move(key), std::move(value), WaveformSetting::Kind::Text, std::nullopt, {}};
}

WaveformSetting number(std::string key, std::optional<double> value) {
    const auto finite = Csv::number(value).empty() ? std::nullopt : value;
    return {std::move(key), Csv::number(finite), WaveformSetting::Kind::Number, finite, {}};
}

} // namespace

std::string workModeOfTitle(const std::string &title, const std::string &modelName) {
    const std::string prefix = "Meter " + modelName;
    if (modelName.empty() || title.compare(0, prefix.size(), prefix) != 0)
        return {};
    return trimmed(std::string_view(title).substr(prefix.size()));
}

WaveformCsvInput waveformCsvInput(const common::Form &form, const dso::ScaleTables &tables) {
    const std::string &model = form.v.MeterModelName;
    return {form.wave, model, double(form.v.MeterModelCode),
            workModeOfTitle(form.wave.WaveTitle, model), tables};
}

std::vector<WaveformSetting> waveformSettings(const WaveformCsvInput &in) {
    const auto &p = in.wave.DsoParam;
    const Scales s = scalesOf(in);
    return {
        text("model", in.modelName),
        text("work_mode", in.workMode),
        text("date", in.wave.WaveDate),
        text("time", in.wave.WaveTime),
        text("title", in.wave.WaveTitle),
        s.vDiv.setting("volts_per_div"),
        s.tDiv.setting("time_per_div"),
        number("sample_interval_s", s.seconds(1)),
        text("coupling", coupling(p[4])),
        text("trigger_slope", p[5] == 0 ? "falling" : "rising"),
        number("trigger_level_v", s.volts(p[6])),
        number("trigger_position", p[1]),
        number("trigger_time_s", s.seconds(kCentrePoint + kPointsPerTenth * p[1])),
        number("vertical_position", p[3]),
        number("zero_level", p[7]),
    };
}

std::string waveformCsv(const WaveformCsvInput &in) {
    std::string out;
    for (const WaveformSetting &setting : waveformSettings(in))
        out += Csv::header(setting.key, Csv::field(setting.text));
    if (in.measurements)
        for (const MeasurementRow &row : measurementRows(in))
            out += Csv::header(row.name.csvKey, Csv::number(row.value));
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
