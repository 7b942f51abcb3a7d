#include "app/cli/InfoCommand.h"

#include "app/cli/Cli.h"
#include "app/cli/HeadlessApplication.h"
#include "app/cli/HeadlessScope.h"
#include "output/Csv.h"
#include "output/WaveformCsv.h"

#include <QString>

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace qv::app::cli {
namespace {

// JSON is UTF-8: bytes that are no UTF-8 (a file name in another encoding) become U+FFFD.
std::string jsonString(std::string_view bytes) {
    const QByteArray s =
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
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

/// {"text": ..., "value": ..., "unit": ...}
std::string jsonQuantity(const std::string &text, std::optional<double> value,
                         std::string_view unit) {
    return "{\"text\": " + jsonString(text) + ", \"value\": " + jsonNumber(value) +
           ", \"unit\": " + jsonString(unit) + "}";
}

/// One of the five measurements: the text the screen shows ("781.25 kHz", "??") and its value
/// in SI units (none for "??" or a gain the tables lack).
struct Measured {
    const char *name;
    std::string text;
    std::optional<double> value;
    std::string_view unit; ///< "V", "dB" or "Hz"
};

std::string trimmedUnit(std::string unit) {
    while (!unit.empty() && unit.back() == ' ')
        unit.pop_back();
    return unit;
}

std::vector<Measured> measured(Program &program) {
    const dso::Measurements &m = program.measurements();
    const common::Form &form = program.form();
    dso::ScaleTables tables;
    const auto one = [](const char *name, std::optional<double> shown, const std::string &unit,
                        std::string_view siUnit) {
        if (!shown || !std::isfinite(*shown))
            return Measured{name, "??", std::nullopt, siUnit};
        const std::string text = output::Csv::number(*shown);
        const std::string u = trimmedUnit(unit);
        const auto si = output::inSi(*shown, u);
        return Measured{name, u.empty() ? text : text + " " + u,
                        si ? std::optional(si->value) : std::nullopt, siUnit};
    };
    const std::string &unit = tables.GainUnit(form.wave.DsoParam[2], form.v.MeterModelCode);
    const bool hasFrequency = m.MeasFrequency > 0;
    return {one("peak_to_peak", m.MeasPeakToPeak, unit, "V"),
            one("average", m.MeasAverage, unit, "V"), one("rms", m.MeasRms, unit, "V"),
            one("level", m.hasDecibel() ? std::optional(m.MeasDecibel) : std::nullopt, "dB", "dB"),
            one("frequency", hasFrequency ? std::optional(m.MeasFrequency) : std::nullopt,
                tables.FreqUnit(m.MeasFrequencyUnit), "Hz")};
}

std::vector<std::string> readouts(const common::DrawingTarget &screen) {
    std::vector<std::string> out;
    for (const auto &op : screen.ops())
        if (const auto *text = std::get_if<common::TextOp>(&op))
            out.push_back(text->text);
    return out;
}

std::vector<output::WaveformSetting> settingsOf(const common::Form &form) {
    dso::ScaleTables tables;
    return output::waveformSettings(
        {form.wave, form.v.MeterModelName, double(form.v.MeterModelCode),
         output::workModeOfTitle(form.wave.WaveTitle, form.v.MeterModelName), tables});
}

/// A setting as JSON: texts as strings, numbers as numbers (null when unknown), scales as
/// quantities in SI units.
std::string jsonSetting(const output::WaveformSetting &s) {
    using Kind = output::WaveformSetting::Kind;
    switch (s.kind) {
    case Kind::Number:
        return jsonNumber(s.value);
    case Kind::Scale:
        return jsonQuantity(s.text, s.value, s.unit);
    case Kind::Text:
        break;
    }
    return jsonString(s.text);
}

std::string json(const std::string &file, Program &program) {
    const common::Form &form = program.form();
    const auto settings = settingsOf(form);
    std::string out = "{\n  \"file\": " + jsonString(file) + ",\n  \"settings\": {";
    for (size_t i = 0; i < settings.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(settings[i].key) + ": " +
               jsonSetting(settings[i]);
    out += "\n  },\n  \"readouts\": [";
    const auto texts = readouts(form.el.Picture1);
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + jsonString(texts[i]);
    out += "],\n  \"measurements\": {";
    const auto values = measured(program);
    for (size_t i = 0; i < values.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(values[i].name) + ": " +
               jsonQuantity(values[i].text, values[i].value, values[i].unit);
    return out + "\n  }\n}\n";
}

std::string text(const std::string &file, Program &program) {
    const common::Form &form = program.form();
    std::string out = "file: " + file + "\n";
    // A number or scale that is not known reads "??", as an unknown measurement does.
    for (const auto &s : settingsOf(form))
        out += s.key + ": " +
               (s.kind != output::WaveformSetting::Kind::Text && s.text.empty() ? "??" : s.text) +
               "\n";
    for (const auto &m : measured(program))
        out += std::string(m.name) + ": " + m.text + "\n";
    for (const auto &t : readouts(form.el.Picture1))
        out += "readout: " + t + "\n";
    return out;
}

} // namespace

int runInfo(const char *program, std::span<const std::string> arguments) {
    static constexpr std::array<OptionSpec, 1> kRows{{{.name = "json"}}};
    int exit = kDone;
    const std::optional<ParsedArguments> p = parseCommand(kRows, arguments, exit);
    if (!p)
        return exit;
    if (p->positional.size() != 1)
        return usageError("info takes one waveform file");
    // Texts and numbers only: no fonts, no platform.
    const HeadlessApplication application(program, false);
    HeadlessScope scope(HeadlessScope::View{}, nullptr);
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
