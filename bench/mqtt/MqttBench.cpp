// Publishing to a local mosquitto broker (Debian's, started here on a free port):
// - BM_PublishQos1: readings a second through the publisher and libmosquitto at QoS 1, counted
//   until the broker acknowledged the last; the process's CPU per reading (both threads) and its
//   growth in memory while the whole run waits in the queue (the queue's bound is the bound).
// - BM_CaptureCpuAtMetersPace: `qvlink capture --demo dmm|dso` for 20 s at the meter's own pace
//   (one packet every 83.3 ms), with and without --mqtt: the CPU the publishing adds, in % of
//   one core.
#include "mqtt/Payloads.h"
#include "mqtt/Publisher.h"
#include "mqtt/qt/MosquittoTransport.h"
#include "platform/qt/serial/QtTimer.h"
#include "tests/mqtt/LocalBroker.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>

namespace {

using qv::mqtt::test::LocalBroker;

long rssKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

double cpuSeconds(int who) {
    rusage u{};
    ::getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_PublishQos1(benchmark::State &state) {
    const auto count = static_cast<long long>(state.range(0));
    QTemporaryDir dir;
    LocalBroker broker(dir.path().toStdString());
    if (!broker.start())
        return state.SkipWithError("no broker (Debian package mosquitto)");
    qv::mqtt::PublishSettings settings;
    std::string error;
    settings.url =
        *qv::mqtt::parseBrokerUrl("mqtt://127.0.0.1:" + std::to_string(broker.port) + "/b", error);
    settings.clientId = "bench";
    settings.queueLimit = static_cast<std::size_t>(count);
    const qv::mqtt::Topics topics("b");
    for (auto _ : state) {
        auto transport = qv::mqtt::qt::MosquittoTransport::create(
            settings, {topics.status, "offline", true}, error);
        qv::platform::qt::QtTimer timer;
        qv::mqtt::Publisher::Options options;
        options.url = settings.url;
        options.queueLimit = settings.queueLimit;
        qv::mqtt::Publisher publisher(*transport, timer, options);
        publisher.start();
        while (publisher.state() == qv::mqtt::Publisher::State::Starting)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const long rssBefore = rssKb();
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const auto start = std::chrono::steady_clock::now();
        long peak = rssBefore;
        for (long long n = 0; n < count; ++n)
            publisher.publish({topics.reading, qv::mqtt::readingPayload(
                                                   "2026-12-07T10:15:03.250+01:00",
                                                   "  10:15:03     1.234 V  DC     ", "QM520V")});
        state.counters["queued_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        while (publisher.waiting() > 0 &&
               publisher.state() == qv::mqtt::Publisher::State::Connected) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            peak = std::max(peak, rssKb());
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["readings_per_s"] = double(count) / seconds;
        state.counters["cpu_us_per_reading"] =
            (cpuSeconds(RUSAGE_SELF) - cpuBefore) * 1e6 / double(count);
        state.counters["rss_growth_MB"] = double(peak - rssBefore) / 1024.0;
        publisher.close();
    }
}
BENCHMARK(BM_PublishQos1)->Arg(100000)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

/// The CPU seconds (user and system) of one capture run to its end.
double captureCpu(const std::vector<std::string> &arguments) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char *> argv{const_cast<char *>(QVLINK_PATH)};
        for (const auto &a : arguments)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(QVLINK_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage u{};
    ::wait4(pid, &status, 0, &u);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_CaptureCpuAtMetersPace(benchmark::State &state) {
    const std::string mode = state.range(0) == 0 ? "dmm" : "dso";
    constexpr double kSeconds = 20;
    QTemporaryDir dir;
    LocalBroker broker(dir.path().toStdString());
    if (!broker.start())
        return state.SkipWithError("no broker (Debian package mosquitto)");
    const std::vector<std::string> plain{"capture",   "--demo",     mode,  "--interval",
                                         "0",         "--duration", "20s", "--quiet",
                                         "--dmm-csv", "/dev/null"};
    std::vector<std::string> publishing = plain;
    publishing.insert(publishing.end(),
                      {"--mqtt", "mqtt://127.0.0.1:" + std::to_string(broker.port) + "/b"});
    for (auto _ : state) {
        const double without = captureCpu(plain);
        const double with = captureCpu(publishing);
        if (without < 0 || with < 0)
            return state.SkipWithError("capture failed");
        state.SetIterationTime(2 * kSeconds);
        state.counters["cpu_s_without"] = without;
        state.counters["cpu_s_with_mqtt"] = with;
        state.counters["publishing_pct_of_core"] = (with - without) / kSeconds * 100;
    }
}
BENCHMARK(BM_CaptureCpuAtMetersPace)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
