#include "app/cli/ExportCommand.h"

#include "app/ExportCommands.h"
#include "app/cli/Cli.h"
#include "app/cli/HeadlessScope.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "output/RecordCsv.h"
#include "platform/qt/services/FileReplace.h"
#include "platform/qt/services/QtPictureWriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <array>
#include <climits>
#include <cstdio>
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

constexpr std::array<Kind, 5> kKinds{{
    {"csv", ".csv", std::nullopt},
    {"spectrum-csv", ".spectrum.csv", std::nullopt},
    {"png", ".png", PictureFormat::Png},
    {"svg", ".svg", PictureFormat::Svg},
    {"pdf", ".pdf", PictureFormat::Pdf},
}};

struct Output {
    const Kind *kind;
    QString path; ///< "-" for standard output; under --out-dir the ending only
};

struct Plan {
    std::vector<QString> inputs;
    std::vector<Output> outputs;
    QString outDir;
    HeadlessScope::View view;
    int scale = 1;
};

struct UsageError {
    std::string text;
};

int usageError(const std::string &text) {
    complain(text);
    std::fputs(usage().c_str(), stderr);
    return kUsage;
}

[[nodiscard]] bool writeText(const QString &path, const std::string &text) {
    if (path == QLatin1String("-")) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
            std::fflush(stdout) == 0)
            return true;
        complain("cannot write to standard output");
        return false;
    }
    const auto written = platform::qt::replaceFile(path.toStdString(), text, false);
    if (!written.ok)
        complain("cannot write " + path.toStdString() + ": " + written.reason);
    return written.ok;
}

int windowType(const QString &name) {
    static constexpr std::array<const char *, 6> kNames{"rectangular", "hanning", "hamming",
                                                        "blackman",    "flattop", "bartlett"};
    for (size_t i = 0; i < kNames.size(); ++i)
        if (name.compare(QLatin1String(kNames[i]), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

const Kind *kindNamed(const QString &name) {
    for (const Kind &k : kKinds)
        if (name == QLatin1String(k.name))
            return &k;
    return nullptr;
}

Plan planOf(const QCommandLineParser &p) {
    Plan plan;
    for (const QString &input : p.positionalArguments())
        plan.inputs.push_back(input);
    if (plan.inputs.empty())
        throw UsageError{"no input file"};
    const QString view = p.value(QStringLiteral("view"));
    if (view != QLatin1String("wave") && view != QLatin1String("spectrum"))
        throw UsageError{"--view takes wave or spectrum"};
    plan.view.spectrum = view == QLatin1String("spectrum");
    plan.view.window = windowType(p.value(QStringLiteral("window")));
    if (plan.view.window < 0)
        throw UsageError{"unknown window " + p.value(QStringLiteral("window")).toStdString()};
    plan.view.db = p.isSet(QStringLiteral("db"));
    bool ok = false;
    plan.scale = p.value(QStringLiteral("scale")).toInt(&ok);
    if (!ok || plan.scale < 1 || plan.scale > platform::PictureWriter::kMaxScale)
        throw UsageError{"--scale takes a whole number from 1 to 8"};

    if (p.isSet(QStringLiteral("out-dir"))) {
        plan.outDir = p.value(QStringLiteral("out-dir"));
        for (const Kind &k : kKinds)
            if (p.isSet(QLatin1String(k.name)))
                throw UsageError{std::string("--") + k.name +
                                 " names one file; with --out-dir "
                                 "choose the outputs with --formats"};
        for (const QString &name : p.value(QStringLiteral("formats")).split(QLatin1Char(','))) {
            const Kind *k = kindNamed(name.trimmed());
            if (!k)
                throw UsageError{"unknown format " + name.toStdString()};
            plan.outputs.push_back({k, QLatin1String(k->ending)});
        }
        return plan;
    }
    if (plan.inputs.size() > 1)
        throw UsageError{"several inputs need --out-dir"};
    for (const Kind &k : kKinds) {
        if (!p.isSet(QLatin1String(k.name)))
            continue;
        const QString path = p.value(QLatin1String(k.name));
        if (path == QLatin1String("-") && k.picture)
            throw UsageError{std::string("--") + k.name + " cannot write to standard output"};
        plan.outputs.push_back({&k, path});
    }
    if (plan.outputs.empty())
        throw UsageError{"nothing to export: give --csv, --spectrum-csv, --png, --svg or --pdf"};
    return plan;
}

/// Writes one output of the waveform on the scope; false when it could not be written.
bool writeOutput(HeadlessScope &scope, const Output &out, const QString &path, int scale) {
    ExportCommands &exports = scope.program().exports();
    if (!out.kind->picture)
        return writeText(path, out.kind->ending == std::string_view(".csv")
                                   ? exports.waveformCsv()
                                   : exports.spectrumCsv());
    platform::qt::QtPictureWriter writer(false);
    const auto written =
        writer.write(path.toStdString(), *out.kind->picture, scope.screen(),
                     ExportCommands::kScreenWidth, ExportCommands::kScreenHeight, scale);
    if (!written.ok)
        complain("cannot write " + path.toStdString() + ": " + written.reason);
    return written.ok;
}

int exportWaveforms(const Plan &plan) {
    if (!plan.outDir.isEmpty() && !QDir().mkpath(plan.outDir)) {
        complain("cannot make the folder " + plan.outDir.toStdString());
        return kOutputFailed;
    }
    HeadlessScope scope(plan.view);
    const bool progress = plan.inputs.size() > 1 && isatty(fileno(stderr));
    bool refused = false, failed = false;
    for (size_t i = 0; i < plan.inputs.size(); ++i) {
        const QString &input = plan.inputs[i];
        if (progress)
            std::fprintf(stderr, "\r%zu/%zu %s\033[K", i + 1, plan.inputs.size(),
                         qPrintable(input));
        if (const auto refusal = scope.open(input.toStdString())) {
            complain(*refusal);
            refused = true;
            continue;
        }
        const QString stem = QFileInfo(input).completeBaseName();
        for (const Output &out : plan.outputs) {
            const QString path =
                plan.outDir.isEmpty() ? out.path : QDir(plan.outDir).filePath(stem + out.path);
            failed = !writeOutput(scope, out, path, plan.scale) || failed;
        }
    }
    if (progress)
        std::fputs("\n", stderr);
    return refused ? kInputRefused : failed ? kOutputFailed : kDone;
}

int exportRecord(const QCommandLineParser &p) {
    if (!p.positionalArguments().isEmpty() || !p.isSet(QStringLiteral("csv")))
        return usageError("--record takes one record file and --csv OUT.csv");
    const std::string path = p.value(QStringLiteral("record")).toStdString();
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
    return writeText(p.value(QStringLiteral("csv")), output::recordCsv(*log)) ? kDone
                                                                              : kOutputFailed;
}

} // namespace

int runExport(const QStringList &arguments) {
    QCommandLineParser p;
    p.addHelpOption();
    for (const Kind &k : kKinds)
        p.addOption(
            {QLatin1String(k.name), QStringLiteral("Write this output."), QStringLiteral("file")});
    p.addOption({QStringLiteral("view"), QStringLiteral("wave or spectrum."),
                 QStringLiteral("view"), QStringLiteral("wave")});
    p.addOption({QStringLiteral("window"), QStringLiteral("The spectrum's window."),
                 QStringLiteral("name"), QStringLiteral("hanning")});
    p.addOption({QStringLiteral("db"), QStringLiteral("The spectrum in dB.")});
    p.addOption({QStringLiteral("scale"), QStringLiteral("PNG scale 1..8."), QStringLiteral("n"),
                 QStringLiteral("1")});
    p.addOption({QStringLiteral("out-dir"), QStringLiteral("Folder of the outputs."),
                 QStringLiteral("dir")});
    p.addOption({QStringLiteral("formats"), QStringLiteral("Outputs under --out-dir."),
                 QStringLiteral("list"), QStringLiteral("csv,png")});
    p.addOption(
        {QStringLiteral("record"), QStringLiteral("A DMM record file."), QStringLiteral("file")});
    if (!p.parse(QStringList{QStringLiteral("qvlink export")} + arguments))
        return usageError(p.errorText().toStdString());
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(usage().c_str(), stdout);
        return kDone;
    }
    if (p.isSet(QStringLiteral("record")))
        return exportRecord(p);
    try {
        return exportWaveforms(planOf(p));
    } catch (const UsageError &e) {
        return usageError(e.text);
    }
}

} // namespace qv::app::cli
