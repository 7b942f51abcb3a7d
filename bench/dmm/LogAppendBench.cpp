// The cost of one record line appended by the one-second timer, early in a log (line 1,000) and
// after a day at 1 s (line 86,400), with the log shown in the window's log view.
#include "app/qt/ElementBinding.h"
#include "app/qt/LogView.h"
#include "common/Form.h"
#include "dmm/RecordLog.h"
#include "platform/fakes/FakePlatform.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>

namespace {

using namespace qv;

/// A form whose log box is bound to the log view, and the record timer on top of it.
struct LoggedForm {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dmm::RecordLog log{form};
    app::qt::LogView view{form.el.RichTextBox1};
    std::size_t lines = 0;

    LoggedForm() {
        view.resize(220, 265);
        app::qt::bindLog(&view, form.el.RichTextBox1);
        form.el.Timer1.setEnabled(true);
        view.show();
    }

    /// One live reading followed by one timer tick that appends it.
    void append() {
        form.v.DMMReading = " 1.234V  DC  AUTO";
        form.v.DMMSampleReady = true;
        log.Timer1_Timer();
        ++lines;
    }
};

/// The CPU time of this process: other programs on a shared machine do not count.
double cpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

std::unique_ptr<LoggedForm> g_form;
struct Figures {
    double appendMicros = 0, withRepaintMicros = 0;
};
std::map<int, Figures> g_figures;

void growTo(std::size_t line) {
    while (g_form->lines + 1 < line)
        g_form->append();
    QCoreApplication::processEvents();
}

// The append alone: Timer1_Timer through the log box into the view. The window's event loop
// (layout and repaint) runs after each line but outside the measured time. Times are CPU time.
void BM_AppendAtLine(benchmark::State &state) {
    const auto line = static_cast<std::size_t>(state.range(0));
    growTo(line);
    double micros = 0;
    for (auto _ : state) {
        const double start = cpuMicros();
        g_form->append();
        micros += cpuMicros() - start;
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    g_figures[static_cast<int>(line)].appendMicros =
        micros / static_cast<double>(state.iterations());
    state.counters["log_lines"] = static_cast<double>(g_form->lines);
}

// The append followed by the event loop that lays out and repaints the view.
void BM_AppendAndRepaintAtLine(benchmark::State &state) {
    const auto line = static_cast<std::size_t>(state.range(0));
    growTo(line);
    const double start = cpuMicros();
    for (auto _ : state) {
        g_form->append();
        QCoreApplication::processEvents();
    }
    g_figures[static_cast<int>(line)].withRepaintMicros =
        (cpuMicros() - start) / static_cast<double>(state.iterations());
    state.counters["log_lines"] = static_cast<double>(g_form->lines);
}

// Fixed iterations: the log grows only by a few hundred lines while a point is measured. The
// order matters: each run continues the same log.
BENCHMARK(BM_AppendAtLine)->Arg(1000)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendAndRepaintAtLine)->Arg(1400)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendAtLine)->Arg(86400)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendAndRepaintAtLine)->Arg(86800)->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_form = std::make_unique<LoggedForm>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Figures early = g_figures[1000], late = g_figures[86400];
    const double earlyPaint = g_figures[1400].withRepaintMicros;
    const double latePaint = g_figures[86800].withRepaintMicros;
    if (early.appendMicros > 0 && late.appendMicros > 0)
        std::printf("append, CPU: line 1000 %.1f us, line 86400 %.1f us, ratio %.2f\n",
                    early.appendMicros, late.appendMicros, late.appendMicros / early.appendMicros);
    if (earlyPaint > 0 && latePaint > 0)
        std::printf("append + repaint, CPU: line 1400 %.1f us, line 86800 %.1f us, ratio %.2f\n",
                    earlyPaint, latePaint, latePaint / earlyPaint);
    g_form.reset();
    return 0;
}
