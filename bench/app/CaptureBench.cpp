// `qvlink capture --interval 0` as a user runs it, every reading kept: CPU seconds per 10^5
// readings over a pseudo-terminal fed as fast as the program takes the bytes and over a replay at
// full speed, each with TZ unset (a default system: the C library would look at /etc/localtime
// for every conversion) and set; and the memory of a replay (VmRSS sampled from /proc every
// 10 ms, from the first line written to the end) against the recording's length and record size.
// Every run checks that the CSV holds each reading once, in order.
#include "ChildProcess.h"
#include "link/RawRecordingWriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <pty.h>

namespace {

namespace fs = std::filesystem;

/// A scratch folder, removed at the end.
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("qvlink-bench-" + std::to_string(getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    [[nodiscard]] std::string operator/(const std::string &name) const { return dir / name; }
};

/// A recording of count live readings, perRecord packets a record (1: one receive event each,
/// as the meter's own pace records them).
void makeRecording(const std::string &path, int count, int perRecord) {
    qv::link::RawRecordingWriter w;
    if (!w.open(path, "bench"))
        return;
    std::vector<std::uint8_t> bytes;
    for (int n = 0; n < count; ++n) {
        bench::appendReading(bytes, n);
        if (bytes.size() >= std::size_t(perRecord) * 20 || n + 1 == count) {
            (void)w.write(static_cast<std::uint32_t>(n), bytes);
            bytes.clear();
        }
    }
    w.close();
}

std::optional<std::string> zone(benchmark::State &state) {
    return state.range(0) == 1 ? std::optional<std::string>("Europe/Berlin") : std::nullopt;
}

void report(benchmark::State &state, const bench::Child &child, int count) {
    state.SetIterationTime(child.wall);
    state.counters["cpu_s_per_1e5"] = child.cpu * 1e5 / count;
    state.counters["readings_per_s"] = count / child.wall;
}

// The pseudo-terminal's far end is written as fast as the capture reads it, once the capture has
// started (its "# capture_started" line is in the CSV).
void BM_CaptureOverPty(benchmark::State &state) {
    constexpr int kCount = 100000;
    const Scratch scratch;
    const std::string csv = scratch / "out.csv";
    std::vector<std::uint8_t> bytes;
    for (int n = 0; n < kCount; ++n)
        bench::appendReading(bytes, n);
    for (auto _ : state) {
        int master = -1, slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return state.SkipWithError("no pseudo-terminal");
        fs::remove(csv);
        bench::Child child({bench::program(), "capture", "--port", name, "--dmm-csv", csv,
                            "--interval", "0", "--count", std::to_string(kCount), "--quiet"},
                           zone(state));
        if (!bench::waitUntil(child, [&] {
                return bench::contents(csv).find("# capture_") != std::string::npos;
            }))
            return state.SkipWithError("the capture did not start");
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t n =
                ::write(master, bytes.data() + at, std::min<std::size_t>(4096, bytes.size() - at));
            if (n <= 0)
                break;
            at += std::size_t(n);
        }
        const bool ok = child.wait();
        ::close(master);
        ::close(slave);
        if (!ok || !bench::inOrder(bench::csvValues(csv), kCount))
            return state.SkipWithError("a reading lost, doubled or out of order");
        report(state, child, kCount);
    }
}
BENCHMARK(BM_CaptureOverPty)
    ->ArgName("tz_set")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A replay at full speed, 50 packets a record.
void BM_CaptureReplay(benchmark::State &state) {
    constexpr int kCount = 100000;
    const Scratch scratch;
    const std::string raw = scratch / "meter.raw", csv = scratch / "out.csv";
    makeRecording(raw, kCount, 50);
    for (auto _ : state) {
        fs::remove(csv);
        bench::Child child({bench::program(), "capture", "--replay", raw, "--speed", "max",
                            "--interval", "0", "--quiet", "--dmm-csv", csv},
                           zone(state));
        if (!child.wait() || !bench::inOrder(bench::csvValues(csv), kCount))
            return state.SkipWithError("a reading lost, doubled or out of order");
        report(state, child, kCount);
    }
}
BENCHMARK(BM_CaptureReplay)
    ->ArgName("tz_set")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Memory of a replay: readings, packets per record. The replay reads the recording as a stream,
// so neither the RSS at the first line nor its growth should follow the recording's length.
void BM_ReplayMemory(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    const Scratch scratch;
    const std::string raw = scratch / "meter.raw", csv = scratch / "out.csv";
    makeRecording(raw, count, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        fs::remove(csv);
        bench::Child child({bench::program(), "capture", "--replay", raw, "--speed", "max",
                            "--interval", "0", "--quiet", "--dmm-csv", csv});
        long first = 0, peak = 0;
        while (child.running()) {
            const long rss = child.rssKb();
            if (first == 0 && fs::exists(csv) && fs::file_size(csv) > 200)
                first = rss;
            peak = std::max(peak, rss);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!child.wait() || !bench::inOrder(bench::csvValues(csv), std::size_t(count)))
            return state.SkipWithError("a reading lost, doubled or out of order");
        report(state, child, count);
        state.counters["rss_first_MB"] = first / 1024.0;
        state.counters["rss_growth_MB"] = (peak - first) / 1024.0;
        state.counters["recording_MB"] = double(fs::file_size(raw)) / 1e6;
    }
}
BENCHMARK(BM_ReplayMemory)
    ->ArgNames({"readings", "per_record"})
    ->Args({100000, 1})
    ->Args({1000000, 1})
    ->Args({1000000, 50})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
