// CPU used while the meter's device is away and the link watches for it to come back: the real
// QSerialPort on a pseudo-terminal whose far end is gone, the reconnect watch on a QTimer.
#include "link/SerialLink.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/serial/QtSerialDevices.h"
#include "platform/qt/serial/QtSerialPort.h"
#include "platform/qt/serial/QtTimer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_CpuWhileUnplugged(benchmark::State &state) {
    static int argc = 1;
    static char *argv[] = {const_cast<char *>("bench_link_unplugged"), nullptr};
    static QCoreApplication app(argc, argv);
    using namespace qv;
    platform::qt::QtSerialPort port;
    platform::qt::QtSerialDevices devices;
    platform::qt::QtTimer retry;
    platform::fakes::FakePlatform fp;
    platform::Platform os{port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    common::Form form(os);
    link::SerialLink link(form);
    link.useDevices({.devices = &devices, .retry = &retry});

    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    // Through a link, as a device name that stays with its device: a pseudo-terminal's own name
    // is not watched for (its number goes to the next terminal of any program).
    const std::filesystem::path meter =
        std::filesystem::temp_directory_path() / ("qvlink-bench-" + std::to_string(getpid()));
    std::filesystem::remove(meter);
    std::filesystem::create_symlink(name, meter);
    link.connectDevice(meter.string(), false);
    ::close(master);
    ::close(slave);
    const double seconds = double(state.range(0));
    for (auto _ : state) {
        const double before = cpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["cpu_percent"] = (cpuSeconds() - before) / seconds * 100;
    }
    state.counters["watching"] = link.watch().watching();
    std::filesystem::remove(meter);
}

} // namespace

BENCHMARK(BM_CpuWhileUnplugged)->Arg(5)->Iterations(1)->Unit(benchmark::kSecond);
