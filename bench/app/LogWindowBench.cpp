// A day of the record log at one line a second (86,400 lines) in the real window, offscreen:
// the memory the window grows by, and the cost of one appended line early in the log (line
// 1,000) and at its end (line 86,400). Each line goes in as the record timer puts it: appended,
// caret to the end, then the event loop lays out and repaints.
#include "app/Program.h"
#include "app/qt/MainWindow.h"
#include "platform/fakes/FakePlatform.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace qv;

constexpr std::string_view kLine = "  14:03:27     1.234 V   DC   \r\n";

/// The resident set of this process in kB, from /proc/self/status.
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

struct Window {
    platform::fakes::FakePlatform fp;
    app::Program program{fp.platform};
    app::qt::MainWindow window{program};
    std::size_t lines = 0;

    Window() {
        for (auto &p : fp.port.ports)
            p.exists = false;
        program.Form_Load();
        window.show();
        QCoreApplication::processEvents();
    }

    void append() {
        common::LogControl &log = program.form().el.RichTextBox1;
        log.append(kLine);
        log.moveCaretToEnd();
        ++lines;
    }
};

/// The CPU time of this process: other programs on a shared machine do not count.
double cpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

std::unique_ptr<Window> g_window;
std::map<int, double> g_micros;
long g_rssBefore = 0, g_rssAfter = 0;

void growTo(std::size_t line) {
    while (g_window->lines + 1 < line) {
        g_window->append();
        if (g_window->lines % 64 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

// One line appended and the event loop run after it, as the one-second timer does.
void BM_AppendAtLine(benchmark::State &state) {
    const auto line = static_cast<std::size_t>(state.range(0));
    growTo(line);
    if (line >= 86400)
        g_rssAfter = residentKb();
    const double start = cpuMicros();
    for (auto _ : state) {
        g_window->append();
        QCoreApplication::processEvents();
    }
    g_micros[static_cast<int>(line)] =
        (cpuMicros() - start) / static_cast<double>(state.iterations());
    state.counters["log_lines"] = static_cast<double>(g_window->lines);
}

// Fixed iterations: each run continues the same log, so the order matters.
BENCHMARK(BM_AppendAtLine)->Arg(1000)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendAtLine)->Arg(86400)->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_window = std::make_unique<Window>();
    g_rssBefore = residentKb();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_rssAfter > 0)
        std::printf("RSS: %.1f MB empty log, %.1f MB at 86,400 lines, growth %.1f MB\n",
                    g_rssBefore / 1024.0, g_rssAfter / 1024.0, (g_rssAfter - g_rssBefore) / 1024.0);
    const double early = g_micros[1000], late = g_micros[86400];
    if (early > 0 && late > 0)
        std::printf("append + event loop, CPU: line 1000 %.1f us, line 86400 %.1f us, ratio %.2f\n",
                    early, late, late / early);
    g_window.reset();
    return 0;
}
