// How soon the program is at work after it starts, as a user runs it: the time from the spawn to
// the first reading in a capture's CSV (a pseudo-terminal named by --port, fed a packet every
// millisecond from before the start; a replay), the whole of a 10-reading capture, an export of
// one waveform file from spawn to exit, `--version` as the floor of any start (the dynamic
// loader), and, under X (xvfb-run), the window's start without a meter until its window maps.
// CPU seconds come from wait4, wall times from the spawn.
#include "ChildProcess.h"
#include "files/FileStore.h"
#include "files/WaveformFormat.h"
#include "link/RawRecordingWriter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <pty.h>

#ifdef QV_BENCH_X11
#include <X11/Xlib.h>
#endif

namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("qvlink-start-" + std::to_string(getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    [[nodiscard]] std::string operator/(const std::string &name) const { return dir / name; }
};

void report(benchmark::State &state, const bench::Child &child) {
    state.SetIterationTime(child.wall);
    state.counters["cpu_ms"] = child.cpu * 1e3;
}

void BM_Version(benchmark::State &state) {
    for (auto _ : state) {
        bench::Child child({bench::program(), "--version"});
        if (!child.wait())
            return state.SkipWithError("--version failed");
        report(state, child);
    }
}
BENCHMARK(BM_Version)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

/// Feeds a pseudo-terminal's far end one reading a millisecond while it lives.
class Meter {
  public:
    Meter() {
        ok_ = openpty(&master_, &slave_, name_, nullptr, nullptr) == 0;
        if (ok_)
            thread_ = std::thread([this] { feed(); });
    }
    ~Meter() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(master_);
        ::close(slave_);
    }
    [[nodiscard]] bool ok() const { return ok_; }
    [[nodiscard]] std::string device() const { return name_; }

  private:
    void feed() {
        std::vector<std::uint8_t> packet;
        for (int n = 0; !stop_; ++n) {
            packet.clear();
            bench::appendReading(packet, n);
            // A full terminal (nobody reads yet) drops the packet rather than block.
            const int flags = ::fcntl(master_, F_GETFL);
            ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
            (void)::write(master_, packet.data(), packet.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    int master_ = -1, slave_ = -1;
    char name_[256] = {};
    bool ok_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void firstReading(benchmark::State &state, const std::vector<std::string> &args,
                  const std::string &csv) {
    fs::remove(csv);
    bench::Child child(args);
    double first = -1;
    if (bench::waitUntil(child, [&] { return bench::hasReading(csv); }))
        first = bench::secondsSince(child.started());
    if (!child.wait() || first < 0)
        return state.SkipWithError("no reading");
    report(state, child);
    state.counters["first_reading_ms"] = first * 1e3;
}

// capture --port: a pseudo-terminal (no port is enumerated for it), 10 readings.
void BM_CaptureStartOverPty(benchmark::State &state) {
    const Scratch scratch;
    const Meter meter;
    if (!meter.ok())
        return state.SkipWithError("no pseudo-terminal");
    for (auto _ : state)
        firstReading(state,
                     {bench::program(), "capture", "--port", meter.device(), "--dmm-csv",
                      scratch / "out.csv", "--interval", "0", "--count", "10", "--quiet"},
                     scratch / "out.csv");
}
BENCHMARK(BM_CaptureStartOverPty)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// capture --replay: 10 readings of a recording of n one-packet records (the start walks the
// records' heads once to know where the whole ones end).
void BM_CaptureStartOfReplay(benchmark::State &state) {
    const Scratch scratch;
    const std::string raw = scratch / "meter.raw";
    {
        qv::link::RawRecordingWriter w;
        if (!w.open(raw, "bench"))
            return state.SkipWithError("no recording");
        std::vector<std::uint8_t> bytes;
        for (int n = 0; n < state.range(0); ++n) {
            bytes.clear();
            bench::appendReading(bytes, n);
            (void)w.write(std::uint32_t(n * 83), bytes);
        }
    }
    for (auto _ : state)
        firstReading(state,
                     {bench::program(), "capture", "--replay", raw, "--speed", "max", "--dmm-csv",
                      scratch / "out.csv", "--interval", "0", "--count", "10", "--quiet"},
                     scratch / "out.csv");
}
BENCHMARK(BM_CaptureStartOfReplay)
    ->ArgName("records")
    ->Arg(10)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

std::string sineFile() {
    qv::files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03:27"};
    r.params = {13, 0, 7, 0, 1, 1, 0, 0};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = std::round(20 * std::sin(2 * 3.14159265358979 * double(i) / 20));
    return qv::files::WaveformFormat::compose(r);
}

// export of one file: 0 CSV alone, 1 CSV + PNG + SVG + PDF; spawn to exit.
void BM_ExportStart(benchmark::State &state) {
    const Scratch scratch;
    const std::string wave = scratch / "wave.dso";
    (void)qv::files::FileStore::write(wave, sineFile());
    std::vector<std::string> args{bench::program(), "export", wave, "--csv", scratch / "w.csv"};
    if (state.range(0) == 1)
        args.insert(args.end(), {"--png", scratch / "w.png", "--svg", scratch / "w.svg", "--pdf",
                                 scratch / "w.pdf"});
    for (auto _ : state) {
        bench::Child child(args);
        if (!child.wait())
            return state.SkipWithError("export failed");
        report(state, child);
    }
}
BENCHMARK(BM_ExportStart)
    ->ArgName("pictures")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

#ifdef QV_BENCH_X11
// The window without a meter (the search of ports 1 to 8 finds none), from the spawn until its
// main window maps on the X server (xvfb-run); the process is then ended.
void BM_WindowStart(benchmark::State &state) {
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return state.SkipWithError("no X display: run under xvfb-run -a");
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    for (auto _ : state) {
        bench::Child child({bench::program()}, std::nullopt, false);
        double mapped = -1;
        while (mapped < 0 && child.running()) {
            while (XPending(display) > 0) {
                XEvent e;
                XNextEvent(display, &e);
                if (e.type == MapNotify && mapped < 0)
                    mapped = bench::secondsSince(child.started());
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        ::kill(child.pid(), SIGTERM);
        (void)child.wait();
        if (mapped < 0)
            return state.SkipWithError("the window did not map");
        state.SetIterationTime(mapped);
    }
    XCloseDisplay(display);
}
BENCHMARK(BM_WindowStart)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

/// CPU seconds a process has used so far, from /proc/PID/stat.
double cpuOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) // state .. cmajflt: fields 3 to 13
        fields >> skip;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / double(sysconf(_SC_CLK_TCK));
}

// The window's live scope at the link's pace (the virtual meter, 240 bytes/s) under X: the
// share of a core it takes over 20 s once it runs (2 s after its window maps). 0 DMM, 1 DSO.
void BM_WindowLiveCpu(benchmark::State &state) {
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return state.SkipWithError("no X display: run under xvfb-run -a");
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    constexpr double kSeconds = 20;
    for (auto _ : state) {
        bench::Child child({bench::program(), "--demo", state.range(0) == 1 ? "dso" : "dmm"},
                           std::nullopt, false);
        bool mapped = false;
        while (!mapped && child.running()) {
            for (XEvent e; XPending(display) > 0;) {
                XNextEvent(display, &e);
                mapped = mapped || e.type == MapNotify;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double before = cpuOf(child.pid());
        std::this_thread::sleep_for(std::chrono::duration<double>(kSeconds));
        const double used = cpuOf(child.pid()) - before;
        ::kill(child.pid(), SIGTERM);
        (void)child.wait();
        state.SetIterationTime(kSeconds);
        state.counters["cpu_percent"] = used / kSeconds * 100;
    }
    XCloseDisplay(display);
}
BENCHMARK(BM_WindowLiveCpu)
    ->ArgName("dso")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
#endif

} // namespace

BENCHMARK_MAIN();
