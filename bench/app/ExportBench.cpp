// Export of waveform files: one file to CSV, PNG, SVG and PDF inside the program, and a folder
// of 1,000 files through `qvlink export --out-dir` as a user runs it (process start included).
#include "app/cli/HeadlessScope.h"
#include "files/FileStore.h"
#include "files/WaveformFormat.h"
#include "platform/FileOutput.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <sys/resource.h>

namespace {

using namespace qv;

std::string sineFile(int n) {
    files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03:27"};
    r.params = {13, 0, 7, 0, 1, 1, 0, 0};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = std::round(20 * std::sin(2 * 3.14159265358979 * double(i) / (20 + n % 40)));
    return files::WaveformFormat::compose(r);
}

// Open one file and write all four outputs; argument 1 waits for the disk after each file (as
// the window does), 0 does not (as `qvlink export` does).
void BM_ExportOneWaveform(benchmark::State &state) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    (void)files::FileStore::write(base + "wave.dso", sineFile(0));
    const platform::qt::QtTextMeasure measure;
    app::cli::HeadlessScope scope(app::cli::HeadlessScope::View{}, &measure);
    const bool sync = state.range(0) == 1;
    platform::qt::QtPictureWriter writer(sync);
    using F = platform::PictureFormat;
    for (auto _ : state) {
        if (scope.open(base + "wave.dso"))
            state.SkipWithError("refused");
        (void)platform::FileOutput::replace(base + "wave.csv",
                                            scope.program().exports().waveformCsv(), sync);
        for (const auto &[format, name] :
             {std::pair{F::Png, "wave.png"}, {F::Svg, "wave.svg"}, {F::Pdf, "wave.pdf"}})
            (void)writer.write(base + name, format, scope.screen(), 5530, 5055, 1);
    }
}
BENCHMARK(BM_ExportOneWaveform)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each output alone, not waiting for the disk: 0 CSV, 1 PNG, 2 SVG, 3 PDF.
void BM_ExportFormat(benchmark::State &state) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    (void)files::FileStore::write(base + "wave.dso", sineFile(0));
    const platform::qt::QtTextMeasure measure;
    app::cli::HeadlessScope scope(app::cli::HeadlessScope::View{}, &measure);
    if (scope.open(base + "wave.dso"))
        state.SkipWithError("refused");
    platform::qt::QtPictureWriter writer(false);
    const int format = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (format == 0)
            (void)platform::FileOutput::replace(base + "w", scope.program().exports().waveformCsv(),
                                                false);
        else
            (void)writer.write(base + "w", static_cast<platform::PictureFormat>(format - 1),
                               scope.screen(), 5530, 5055, 1);
    }
}
BENCHMARK(BM_ExportFormat)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

/// CPU seconds of the children waited for so far.
double childCpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_CHILDREN, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

void BM_CliThousandFiles(benchmark::State &state) {
    constexpr int kFiles = 1000;
    QTemporaryDir dir;
    QStringList arguments{QStringLiteral("export")};
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("w%1.dso").arg(i, 4, 10, QLatin1Char('0'));
        (void)files::FileStore::write(QDir(dir.path()).filePath(name).toStdString(), sineFile(i));
        arguments << name;
    }
    arguments << QStringLiteral("--out-dir") << QStringLiteral("out") << QStringLiteral("--formats")
              << QStringLiteral("csv,png,svg,pdf");
    // QVLINK_BENCH_PROGRAM measures another build the same way.
    const QString program = qEnvironmentVariableIsEmpty("QVLINK_BENCH_PROGRAM")
                                ? QStringLiteral(QVLINK_PATH)
                                : qEnvironmentVariable("QVLINK_BENCH_PROGRAM");
    for (auto _ : state) {
        const double before = childCpuSeconds();
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(program, arguments);
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            state.SkipWithError("qvlink export failed");
        state.counters["cpu_ms_per_file"] = (childCpuSeconds() - before) * 1e3 / kFiles;
    }
    // Seconds per file (printed with an SI prefix: "26m" is 26 ms).
    state.counters["s_per_file"] =
        benchmark::Counter(kFiles, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CliThousandFiles)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
