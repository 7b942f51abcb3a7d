#include "app/cli/ExportCommand.h"

#include "app/ExportCommands.h"
#include "app/cli/Cli.h"
#include "app/cli/HeadlessApplication.h"
#include "app/cli/HeadlessScope.h"
#include "app/cli/OutputCheck.h"
#include "app/cli/Worker.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "output/RecordCsv.h"
#include "output/WaveformCsv.h"
#include "platform/qt/services/FileReplace.h"

#include <QString>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <future>
#include <optional>
#include <unistd.h>

namespace qv::app::cli {
namespace {

using platform::PictureFormat;

/// One kind of output: its option, its file name ending under --out-dir, and either a picture
/// format or (none) a CSV text.
struct Kind {
    const char *name;
    const char *ending;
    std::optional<PictureFormat> picture;
};

constexpr auto kKinds = std::to_array<Kind>({
    {"csv", ".csv", std::nullopt},
    {"spectrum-csv", ".spectrum.csv", std::nullopt},
    {"png", ".png", PictureFormat::Png},
    {"svg", ".svg", PictureFormat::Svg},
    {"pdf", ".pdf", PictureFormat::Pdf},
});

struct Output {
    const Kind *kind;
    std::string path; ///< "-" for standard output; under --out-dir the ending only
};

struct Plan {
    std::vector<std::string> inputs;
    std::vector<Output> outputs;
    std::string outDir;
    HeadlessScope::View view;
    int scale{};
    bool measurements{}; ///< the measurements in the waveform CSV's header
};

struct UsageError {
    std::string text;
};

using Value = OptionSpec::Value;

// The options besides the outputs' (one row per kind, made from kKinds).
constexpr auto kRows = std::to_array<OptionSpec>({
    {.name = "view", .value = Value::Required, .word = true},
    {.name = "window", .value = Value::Required, .word = true},
    {.name = "db"},
    {.name = "scale", .value = Value::Required},
    {.name = "out-dir", .value = Value::Required},
    {.name = "formats", .value = Value::Required, .word = true},
    {.name = "record", .value = Value::Required},
    {.name = "measurements"},
});

std::vector<OptionSpec> table() {
    std::vector<OptionSpec> rows(kRows.begin(), kRows.end());
    for (const Kind &k : kKinds)
        rows.push_back({.name = k.name, .value = Value::Required});
    return rows;
}

[[nodiscard]] bool writeText(const std::string &path, const std::string &text) {
    if (path == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
            std::fflush(stdout) == 0)
            return true;
        complain("cannot write to standard output");
        return false;
    }
    const auto written = platform::qt::replaceFile(path, text, false);
    if (!written.ok)
        complain("cannot write " + path + ": " + written.reason);
    return written.ok;
}

int windowType(const std::string &name) {
    static constexpr auto kNames = std::to_array<std::string_view>(
        {"rectangular", "hanning", "hamming", "blackman", "flattop", "bartlett"});
    const auto found = std::find(kNames.begin(), kNames.end(), name);
    return found == kNames.end() ? -1 : static_cast<int>(found - kNames.begin());
}

const Kind *kindNamed(std::string_view name) {
    for (const Kind &k : kKinds)
        if (name == k.name)
            return &k;
    return nullptr;
}

std::string optionName(const Kind &k) {
    return std::string("--") + k.name;
}

// The file name without its folder and its last ending, as the outputs under --out-dir take it.
std::string stemOf(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.find_last_of('.'));
}

std::string outputPath(const Plan &plan, const std::string &input, const Output &out) {
    if (plan.outDir.empty())
        return out.path;
    return plan.outDir + (plan.outDir.ends_with('/') ? "" : "/") + stemOf(input) + out.path;
}

// Every output of every input, named for the messages, against the inputs.
void checkOutputs(const Plan &plan) {
    std::vector<NamedFile> inputs, outputs;
    for (const std::string &input : plan.inputs) {
        inputs.push_back({input, "input"});
        for (const Output &out : plan.outputs)
            outputs.push_back({outputPath(plan, input, out),
                               plan.outDir.empty() ? optionName(*out.kind) : "from " + input});
    }
    if (std::string conflict = outputConflict(inputs, outputs); !conflict.empty())
        throw UsageError{std::move(conflict)};
}

// --measurements adds to the waveform CSV: without one it would do nothing.
void checkMeasurements(const Plan &plan) {
    if (!plan.measurements)
        return;
    for (const Output &out : plan.outputs)
        if (out.kind == &kKinds[0])
            return;
    throw UsageError{"--measurements adds to the waveform CSV: give --csv (or csv in --formats)"};
}

std::vector<Output> batchOutputs(const std::string &formats) {
    std::vector<Output> outputs;
    size_t from = 0;
    while (from <= formats.size()) {
        const size_t comma = std::min(formats.find(',', from), formats.size());
        std::string name = formats.substr(from, comma - from);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        const Kind *k = kindNamed(name);
        if (!k)
            throw UsageError{"unknown format " + name};
        for (const Output &out : outputs)
            if (out.kind == k)
                throw UsageError{"--formats names " + name + " twice"};
        outputs.push_back({k, k->ending});
        from = comma + 1;
    }
    return outputs;
}

Plan planOf(const ParsedArguments &p) {
    Plan plan;
    plan.inputs = p.positional;
    if (plan.inputs.empty())
        throw UsageError{"no input file"};
    const std::string view = p.valueOr("view", "wave");
    if (view != "wave" && view != "spectrum")
        throw UsageError{"--view takes wave or spectrum"};
    plan.view.spectrum = view == "spectrum";
    plan.view.window = windowType(p.valueOr("window", "hanning"));
    if (plan.view.window < 0)
        throw UsageError{"unknown window " + p.valueOr("window", "")};
    plan.view.db = p.has("db");
    bool ok{}; // set by the conversion
    plan.scale = QString::fromStdString(p.valueOr("scale", "1")).toInt(&ok);
    if (!ok || plan.scale < 1 || plan.scale > platform::PictureWriter::kMaxScale)
        throw UsageError{"--scale takes a whole number from 1 to 8"};
    plan.measurements = p.has("measurements");

    if (const auto outDir = p.value("out-dir")) {
        plan.outDir = *outDir;
        for (const Kind &k : kKinds)
            if (p.has(k.name))
                throw UsageError{optionName(k) + " names one file; with --out-dir "
                                                 "choose the outputs with --formats"};
        plan.outputs = batchOutputs(p.valueOr("formats", "csv,png"));
        checkMeasurements(plan);
        checkOutputs(plan);
        return plan;
    }
    if (plan.inputs.size() > 1)
        throw UsageError{"several inputs need --out-dir"};
    for (const Kind &k : kKinds) {
        const auto path = p.value(k.name);
        if (!path)
            continue;
        if (*path == "-" && k.picture)
            throw UsageError{optionName(k) + " cannot write to standard output"};
        plan.outputs.push_back({&k, *path});
    }
    if (plan.outputs.empty())
        throw UsageError{"nothing to export: give --csv, --spectrum-csv, --png, --svg or --pdf"};
    checkMeasurements(plan);
    checkOutputs(plan);
    return plan;
}

/// The waveform CSV, with the measurements in its header when asked.
std::string waveformCsv(HeadlessScope &scope, bool measurements) {
    if (!measurements)
        return scope.program().exports().waveformCsv();
    const dso::ScaleTables tables;
    output::WaveformCsvInput in = output::waveformCsvInput(scope.program().form(), tables);
    in.measurements = true;
    return output::waveformCsv(in);
}

/// Writes one output of the waveform on the scope; false when it could not be written.
bool writeOutput(HeadlessScope &scope, platform::PictureWriter *pictures, const Output &out,
                 const std::string &path, const Plan &plan) {
    if (!out.kind->picture)
        return writeText(path, out.kind == &kKinds[0] ? waveformCsv(scope, plan.measurements)
                                                      : scope.program().exports().spectrumCsv());
    const auto written =
        pictures->write(path, *out.kind->picture, scope.screen(), ExportCommands::kScreenWidth,
                        ExportCommands::kScreenHeight, plan.scale);
    if (!written.ok)
        complain("cannot write " + path + ": " + written.reason);
    return written.ok;
}

/// Writes every output of the waveform on the scope; false when one could not be written. The
/// CSV texts first, then the pictures: a PNG (the largest, for its compression) on the worker's
/// thread while this one draws the SVG and the PDF. Qt paints images, PDF and SVG outside the
/// GUI thread, and the scope's display list is only read meanwhile.
bool writeOutputs(HeadlessScope &scope, platform::PictureWriter *pictures, Worker *worker,
                  const Plan &plan, const std::string &input) {
    bool ok = true;
    std::vector<std::future<bool>> drawn;
    for (const Output &out : plan.outputs) {
        const std::string path = outputPath(plan, input, out);
        if (!out.kind->picture)
            ok = writeOutput(scope, pictures, out, path, plan) && ok;
        else if (worker && *out.kind->picture == PictureFormat::Png)
            drawn.push_back(worker->run([&scope, pictures, &out, &plan, path] {
                return writeOutput(scope, pictures, out, path, plan);
            }));
    }
    for (const Output &out : plan.outputs)
        if (out.kind->picture && (!worker || *out.kind->picture != PictureFormat::Png))
            ok = writeOutput(scope, pictures, out, outputPath(plan, input, out), plan) && ok;
    for (std::future<bool> &picture : drawn)
        ok = picture.get() && ok;
    return ok;
}

[[nodiscard]] bool makeFolder(const std::string &folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    return std::filesystem::is_directory(std::filesystem::path(folder), error);
}

int exportWaveforms(const char *program, const Plan &plan) {
    if (!plan.outDir.empty() && !makeFolder(plan.outDir)) {
        complain("cannot make the folder " + plan.outDir);
        return kOutputFailed;
    }
    // Fonts and a platform only where a picture is drawn: CSV alone needs neither.
    const bool pictures =
        std::any_of(plan.outputs.begin(), plan.outputs.end(),
                    [](const Output &out) { return out.kind->picture.has_value(); });
    const HeadlessApplication application(program, pictures);
    if (!application.ok())
        return kOutputFailed;
    PictureKit *kit = application.pictures();
    const std::unique_ptr<common::TextMeasure> measure = kit ? kit->textMeasure() : nullptr;
    const std::unique_ptr<platform::PictureWriter> writer = kit ? kit->writer(false) : nullptr;
    HeadlessScope scope(plan.view, measure.get());
    // A PNG beside other pictures is drawn on a thread of its own.
    const bool png = std::any_of(plan.outputs.begin(), plan.outputs.end(), [](const Output &out) {
        return out.kind->picture == PictureFormat::Png;
    });
    std::optional<Worker> worker;
    if (png && std::count_if(plan.outputs.begin(), plan.outputs.end(),
                             [](const Output &out) { return out.kind->picture.has_value(); }) > 1)
        worker.emplace();
    const bool progress = plan.inputs.size() > 1 && isatty(fileno(stderr));
    bool refused = false, failed = false;
    for (size_t i = 0; i < plan.inputs.size(); ++i) {
        const std::string &input = plan.inputs[i];
        if (progress)
            std::fprintf(stderr, "\r%zu/%zu %s\033[K", i + 1, plan.inputs.size(), input.c_str());
        if (const auto refusal = scope.open(input)) {
            complain(*refusal);
            refused = true;
            continue;
        }
        failed =
            !writeOutputs(scope, writer.get(), worker ? &*worker : nullptr, plan, input) || failed;
    }
    if (progress)
        std::fputs("\n", stderr);
    worker.reset();
    HeadlessApplication::leave(refused ? kInputRefused : failed ? kOutputFailed : kDone);
}

int exportRecord(const char *program, const ParsedArguments &p) {
    const auto csv = p.value("csv");
    if (!p.positional.empty() || !csv)
        return usageError("--record takes one record file and --csv OUT.csv");
    if (p.has("measurements"))
        return usageError("--measurements adds to the waveform CSV, not to a record's");
    const std::string path = p.valueOr("record", "");
    const NamedFile input{path, "--record"}, output{*csv, "--csv"};
    if (std::string conflict = outputConflict({&input, 1}, {&output, 1}); !conflict.empty())
        return usageError(conflict);
    const HeadlessApplication application(program, false);
    const auto bytes = files::FileStore::readLines(path, INT_MAX / 2);
    if (!bytes) {
        complain(path + " (" +
                 (files::FileStore::exists(path) ? "not a readable file" : "no such file") + ")");
        return kInputRefused;
    }
    const auto log = output::logOfRecordFile(files::TextCodec::fromFile(*bytes));
    if (!log) {
        complain(path + " 文件格式不正确 (not a DMM record file)");
        return kInputRefused;
    }
    return writeText(*csv, output::recordCsv(*log)) ? kDone : kOutputFailed;
}

} // namespace

int runExport(const char *program, std::span<const std::string> arguments) {
    int exit = kDone;
    const std::optional<ParsedArguments> p = parseCommand(table(), arguments, exit);
    if (!p)
        return exit;
    if (p->has("record"))
        return exportRecord(program, *p);
    try {
        return exportWaveforms(program, planOf(*p));
    } catch (const UsageError &e) {
        return usageError(e.text);
    }
}

} // namespace qv::app::cli
