#include "app/cli/InfoCommand.h"

#include "app/cli/Cli.h"
#include "app/cli/HeadlessApplication.h"
#include "app/cli/HeadlessScope.h"
#include "output/Csv.h"
#include "output/MeasurementRows.h"
#include "output/SpectrumCsv.h"
#include "output/WaveformCsv.h"
#include "spectrum/SpectrumView.h"

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
    return output::waveformSettings(output::waveformCsvInput(form, tables));
}

std::vector<output::MeasurementRow> waveMeasurements(const common::Form &form) {
    dso::ScaleTables tables;
    return output::measurementRows(output::waveformCsvInput(form, tables));
}

/// The spectrum's highest peak beside the DC bin in the view's window: its frequency, its linear
/// magnitude and its level in dB, each as the spectrum CSV of that scale writes it.
struct Peak {
    std::string window;
    std::optional<output::SpectrumPeak> linear;
    std::optional<double> db;
};

Peak spectrumPeak(common::Form &form) {
    const dso::ScaleTables tables;
    const spectrum::WindowTable windows;
    spectrum::SpectrumView view(form, tables, windows);
    const int scale = form.v.SpectrumLogScale;
    const double model = form.v.MeterModelCode;
    const auto computed = [&](int log) -> output::SpectrumCsvInput {
        form.v.SpectrumLogScale = log;
        view.compute();
        return {form.v.WindowName, log == 1, std::span<const double>(view.Spectrum.data(), 128),
                output::voltsPerUnit(form.wave, model, tables),
                output::secondsPerDiv(form.wave, model, tables)};
    };
    Peak peak{form.v.WindowName, output::spectrumPeak(computed(0)), std::nullopt};
    if (peak.linear) {
        (void)computed(1);
        peak.db = view.Spectrum[peak.linear->bin];
    }
    form.v.SpectrumLogScale = scale;
    return peak;
}

constexpr const char *kNoPeak = "no peak beside the DC bin";

/// A measurement as a quantity, with why there is no value when there is none.
std::string jsonRow(const output::MeasurementRow &row) {
    std::string q = jsonQuantity(row.text, row.value, row.name.unit);
    if (!row.value)
        q.insert(q.size() - 1, ", \"why\": " + jsonString(row.why));
    return q;
}

std::string jsonPeak(const Peak &p) {
    const auto &l = p.linear;
    std::string out = "{\"window\": " + jsonString(p.window) +
                      ", \"bin\": " + (l ? std::to_string(l->bin) : "null") +
                      ", \"frequency_hz\": " + jsonNumber(l ? l->frequencyHz : std::nullopt) +
                      ", \"magnitude_v\": " + jsonNumber(l ? l->magnitude : std::nullopt) +
                      ", \"level_db\": " + jsonNumber(p.db);
    return out + (l ? "}" : ", \"why\": " + jsonString(kNoPeak) + "}");
}

std::string textPeak(const Peak &p) {
    if (!p.linear)
        return std::string("— (") + kNoPeak + ")";
    const auto number = [](std::optional<double> v) {
        const std::string n = output::Csv::number(v);
        return n.empty() ? std::string("??") : n;
    };
    return number(p.linear->frequencyHz) + " Hz, " + number(p.linear->magnitude) + " V, " +
           number(p.db) + " dB (" + p.window + ")";
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
    common::Form &form = program.form();
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
    out += "\n  },\n  \"wave_measurements\": {";
    const auto rows = waveMeasurements(form);
    for (size_t i = 0; i < rows.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(rows[i].name.key) + ": " + jsonRow(rows[i]);
    return out + "\n  },\n  \"spectrum_peak\": " + jsonPeak(spectrumPeak(form)) + "\n}\n";
}

std::string text(const std::string &file, Program &program) {
    common::Form &form = program.form();
    std::string out = "file: " + file + "\n";
    // A number or scale that is not known reads "??", as an unknown measurement does.
    for (const auto &s : settingsOf(form))
        out += s.key + ": " +
               (s.kind != output::WaveformSetting::Kind::Text && s.text.empty() ? "??" : s.text) +
               "\n";
    for (const auto &m : measured(program))
        out += std::string(m.name) + ": " + m.text + "\n";
    for (const auto &row : waveMeasurements(form))
        out += std::string("wave.") + row.name.key + ": " + row.text +
               (row.value ? "" : " (" + row.why + ")") + "\n";
    out += "spectrum_peak: " + textPeak(spectrumPeak(form)) + "\n";
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
