#include "app/cli/InfoCommand.h"

#include "app/cli/Cli.h"
#include "app/cli/HeadlessApplication.h"
#include "app/cli/HeadlessScope.h"
#include "output/Csv.h"
#include "output/Json.h"
#include "output/MeasurementRows.h"
#include "output/SpectrumCsv.h"
#include "output/WaveformCsv.h"
#include "spectrum/SpectrumView.h"

#include <array>
#include <cstdio>
#include <optional>

namespace qv::app::cli {
namespace {

using output::json::number;
using output::json::string;

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
    const auto compute = [&](int log) {
        form.v.SpectrumLogScale = log;
        view.compute();
    };
    compute(0);
    Peak peak{form.v.WindowName,
              output::spectrumPeak({form.v.WindowName, false,
                                    std::span<const double>(view.Spectrum.data(), 128),
                                    output::voltsPerUnit(form.wave, model, tables),
                                    output::secondsPerDiv(form.wave, model, tables)}),
              std::nullopt};
    if (peak.linear) {
        compute(1);
        peak.db = view.Spectrum[peak.linear->bin];
    }
    form.v.SpectrumLogScale = scale;
    return peak;
}

constexpr const char *kNoPeak = "no peak beside the DC bin";

std::string jsonPeak(const Peak &p) {
    const auto &l = p.linear;
    std::string out = "{\"window\": " + string(p.window) +
                      ", \"bin\": " + (l ? std::to_string(l->bin) : "null") +
                      ", \"frequency_hz\": " + number(l ? l->frequencyHz : std::nullopt) +
                      ", \"magnitude_v\": " + number(l ? l->magnitude : std::nullopt) +
                      ", \"level_db\": " + number(p.db);
    return out + (l ? "}" : ", \"why\": " + string(kNoPeak) + "}");
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

std::string json(const std::string &file, Program &program) {
    common::Form &form = program.form();
    std::string out = "{\n  \"file\": " + string(file) + ",\n  \"settings\": " +
                      output::json::object(output::json::settings(form), "  ");
    out += ",\n  \"readouts\": [";
    const auto texts = readouts(form.el.Picture1);
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + string(texts[i]);
    out += "],\n  \"measurements\": " +
           output::json::object(output::json::measurements(form, program.measurements()), "  ");
    out += ",\n  \"wave_measurements\": " +
           output::json::object(output::json::waveMeasurements(form), "  ");
    return out + ",\n  \"spectrum_peak\": " + jsonPeak(spectrumPeak(form)) + "\n}\n";
}

std::string text(const std::string &file, Program &program) {
    common::Form &form = program.form();
    std::string out = "file: " + file + "\n";
    // A number or scale that is not known reads "??", as an unknown measurement does.
    for (const auto &s : settingsOf(form))
        out += s.key + ": " +
               (s.kind != output::WaveformSetting::Kind::Text && s.text.empty() ? "??" : s.text) +
               "\n";
    for (const auto &m : output::json::measured(form, program.measurements()))
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
    static constexpr auto kRows = std::to_array<OptionSpec>({{.name = "json"}});
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
