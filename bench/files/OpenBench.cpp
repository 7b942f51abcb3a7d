// Opening a waveform file: a real one, and a 16 MB file whose date line is 10 MB of blanks
// (refused without laying anything out).
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"
#include "platform/fakes/FakePlatform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

using namespace qv;

namespace {

std::string validFile() {
    files::WaveformRecord record{"7304", 3, "Meter 7304 DSO sample ", "2026-12-07", "10:15"};
    for (std::size_t i = 0; i < record.samples.size(); ++i)
        record.samples[i] = static_cast<double>(i % 50) - 25;
    return files::WaveformFormat::compose(record);
}

void open(benchmark::State &state, const std::string &bytes) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("wave.dso")).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    files::WaveformFiles files{form};
    for (auto _ : state)
        benchmark::DoNotOptimize(files.FileOpen0(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_OpenRealFile(benchmark::State &state) {
    open(state, validFile());
}
BENCHMARK(BM_OpenRealFile)->Unit(benchmark::kMicrosecond);

void BM_OpenSixteenMegabyteHostileFile(benchmark::State &state) {
    std::string bytes = validFile();
    std::size_t dateLine = 0;
    for (int n = 0; n < 3; ++n)
        dateLine = bytes.find("\r\n", dateLine) + 2;
    bytes.insert(dateLine, std::string(10'000'000, ' '));
    bytes.append(16'000'000 - bytes.size(), ' ');
    open(state, bytes);
}
BENCHMARK(BM_OpenSixteenMegabyteHostileFile)->Unit(benchmark::kMillisecond);

} // namespace
