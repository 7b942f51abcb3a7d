#include "app/cli/InfoCommand.h"

#include "app/cli/Cli.h"
#include "app/cli/HeadlessScope.h"
#include "output/Csv.h"
#include "output/WaveformCsv.h"

#include <array>
#include <cstdio>
#include <optional>

namespace qv::app::cli {
namespace {

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string jsonNumber(std::optional<double> v) {
    const std::string n = output::Csv::number(v);
    return n.empty() ? "null" : n;
}

/// The five measurements as the screen printed them: name, value (none for "??") and unit.
struct Measured {
    const char *name;
    std::optional<double> value;
    std::string unit;
};

std::vector<Measured> measured(Program &program) {
    const dso::Measurements &m = program.measurements();
    const common::Form &form = program.form();
    dso::ScaleTables tables;
    const std::string unit = tables.GainUnit(form.wave.DsoParam[2], form.v.MeterModelCode);
    const bool hasFrequency = m.MeasFrequency > 0;
    return {{"peak_to_peak", m.MeasPeakToPeak, unit},
            {"average", m.MeasAverage, unit},
            {"rms", m.MeasRms, unit},
            {"level", m.hasDecibel() ? std::optional(m.MeasDecibel) : std::nullopt, "dB"},
            {"frequency", hasFrequency ? std::optional(m.MeasFrequency) : std::nullopt,
             hasFrequency ? tables.FreqUnit(m.MeasFrequencyUnit) : "Hz"}};
}

std::vector<std::string> readouts(const common::DrawingTarget &screen) {
    std::vector<std::string> out;
    for (const auto &op : screen.ops())
        if (const auto *text = std::get_if<common::TextOp>(&op))
            out.push_back(text->text);
    return out;
}

std::string trimmedUnit(std::string unit) {
    while (!unit.empty() && unit.back() == ' ')
        unit.pop_back();
    return unit;
}

std::string json(const std::string &file, Program &program) {
    const common::Form &form = program.form();
    dso::ScaleTables tables;
    const auto settings = output::waveformSettings(
        {form.wave, form.v.MeterModelName, double(form.v.MeterModelCode),
         output::workModeOfTitle(form.wave.WaveTitle, form.v.MeterModelName), tables});
    std::string out = "{\n  \"file\": " + jsonString(file) + ",\n  \"settings\": {";
    for (size_t i = 0; i < settings.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(settings[i].first) + ": " +
               jsonString(settings[i].second);
    out += "\n  },\n  \"readouts\": [";
    const auto texts = readouts(form.el.Picture1);
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + jsonString(texts[i]);
    out += "],\n  \"measurements\": {";
    const auto values = measured(program);
    for (size_t i = 0; i < values.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(values[i].name) +
               ": {\"value\": " + jsonNumber(values[i].value) +
               ", \"unit\": " + jsonString(trimmedUnit(values[i].unit)) + "}";
    return out + "\n  }\n}\n";
}

std::string text(const std::string &file, Program &program) {
    const common::Form &form = program.form();
    dso::ScaleTables tables;
    std::string out = "file: " + file + "\n";
    for (const auto &[key, value] : output::waveformSettings(
             {form.wave, form.v.MeterModelName, double(form.v.MeterModelCode),
              output::workModeOfTitle(form.wave.WaveTitle, form.v.MeterModelName), tables}))
        out += key + ": " + value + "\n";
    for (const auto &m : measured(program))
        out += std::string(m.name) + ": " +
               (m.value ? output::Csv::number(m.value) + " " + trimmedUnit(m.unit) : "??") + "\n";
    for (const auto &t : readouts(form.el.Picture1))
        out += "readout: " + t + "\n";
    return out;
}

} // namespace

int runInfo(std::span<const std::string> arguments) {
    static constexpr std::array<OptionSpec, 1> kRows{{{.name = "json"}}};
    int exit = kDone;
    const std::optional<ParsedArguments> p = parseCommand(kRows, arguments, exit);
    if (!p)
        return exit;
    if (p->positional.size() != 1)
        return usageError("info takes one waveform file");
    HeadlessScope scope(HeadlessScope::View{});
    const std::string &file = p->positional.front();
    if (const auto refusal = scope.open(file)) {
        complain(*refusal);
        return kInputRefused;
    }
    const std::string out =
        p->has("json") ? json(file, scope.program()) : text(file, scope.program());
    std::fputs(out.c_str(), stdout);
    return kDone;
}

} // namespace qv::app::cli
