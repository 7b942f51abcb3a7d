// `qvlink capture` over a replay at full speed, every reading kept (--interval 0): readings per
// second through packet assembly, decoding and CSV writing, and how much the process grows while
// it writes (VmRSS sampled from /proc every 10 ms, from the first line written to the end).
#include "link/RawRecordingWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

/// A recording of count live readings, 50 packets per record.
void makeRecording(const std::string &path, int count) {
    qv::link::RawRecordingWriter w;
    if (!w.open(path, "bench"))
        return;
    std::vector<std::uint8_t> bytes;
    for (int n = 0; n < count; ++n) {
        char text[32];
        std::snprintf(text, sizeof text, "%6.3fV   DC    ", (n % 100000) / 1000.0);
        bytes.push_back(0xFF);
        bytes.insert(bytes.end(), text, text + 16);
        bytes.insert(bytes.end(), {1, 0, static_cast<std::uint8_t>(n)});
        if (bytes.size() >= 50 * 20 || n + 1 == count) {
            (void)w.write(static_cast<std::uint32_t>(n), bytes);
            bytes.clear();
        }
    }
    w.close();
}

long rssKb(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void BM_CaptureReplayAtMaxSpeed(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const std::string raw = dir.filePath(QStringLiteral("meter.raw")).toStdString();
    const std::string csv = dir.filePath(QStringLiteral("out.csv")).toStdString();
    makeRecording(raw, count);
    for (auto _ : state) {
        std::filesystem::remove(csv);
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto start = std::chrono::steady_clock::now();
        p.start(QStringLiteral(QVLINK_PATH),
                {"capture", "--replay", QString::fromStdString(raw), "--speed", "max",
                 "--interval", "0", "--quiet", "--count", QString::number(count), "--dmm-csv",
                 QString::fromStdString(csv)});
        p.waitForStarted();
        long first = 0, peak = 0;
        while (!p.waitForFinished(10)) {
            const long rss = rssKb(p.processId());
            if (first == 0 && std::filesystem::exists(csv) && std::filesystem::file_size(csv) > 200)
                first = rss;
            peak = std::max(peak, rss);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["readings_per_s"] = count / seconds;
        state.counters["rss_first_MB"] = first / 1024.0;
        state.counters["rss_growth_MB"] = (peak - first) / 1024.0;
        state.counters["csv_MB"] = double(std::filesystem::file_size(csv)) / 1e6;
        if (p.exitCode() != 0)
            state.SkipWithError("capture failed");
    }
}
BENCHMARK(BM_CaptureReplayAtMaxSpeed)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
