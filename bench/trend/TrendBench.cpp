// A day of readings at the meter's rate (250,000 points): the cost of one new reading in the
// model, of the decimation and statistics behind a redraw, and of a new reading with the trend
// window redrawn and repainted (offscreen, 760 x 520), the whole run shown or the last ten
// minutes followed.
#include "platform/fakes/FakePlatform.h"
#include "trend/Decimation.h"
#include "trend/TrendModel.h"
#include "trend/qt/TrendWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace qv;

constexpr std::size_t kPoints = 250000;
constexpr double kStart = 1796601600, kStep = 0.35;

std::string reading(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.3fV  DC     ", v);
    return buf;
}

/// A drifting voltage with noise, a spike now and then and, with gaps, an "OL" every 5,000
/// readings (about half an hour).
struct Day {
    trend::TrendModel model;
    std::mt19937 rng{7};
    std::size_t n = 0;
    bool gaps = true;

    void add() {
        std::uniform_real_distribution<double> noise(-0.01, 0.01);
        const double t = kStart + static_cast<double>(n) * kStep;
        if (gaps && n % 5000 == 4999)
            model.add(t, " OL.   V  DC     ");
        else
            model.add(t, reading(3.3 + 0.2 * std::sin(static_cast<double>(n) / 4000.0) +
                                 (n % 20011 == 0 ? 1.5 : noise(rng))));
        ++n;
    }
    explicit Day(bool withGaps) : gaps(withGaps) {
        while (n < kPoints)
            add();
    }
};

std::unique_ptr<Day> g_day, g_dayWithoutGaps;
std::unique_ptr<platform::fakes::FakePlatform> g_fakes;

void BM_AddReading(benchmark::State &state) {
    for (auto _ : state)
        g_day->add();
    state.counters["points"] = static_cast<double>(g_day->model.pointCount());
}

void BM_DecimateWholeDay(benchmark::State &state) {
    const trend::Series &s = g_day->model.series().front();
    const trend::Range all = g_day->model.timeSpan();
    for (auto _ : state)
        benchmark::DoNotOptimize(trend::decimate(s.points, all, 700));
}

// All but the first second: every reading is scanned (the whole run itself is kept).
void BM_StatisticsWholeDay(benchmark::State &state) {
    const trend::Range all = g_day->model.timeSpan();
    for (auto _ : state)
        benchmark::DoNotOptimize(g_day->model.within("V DC", {all.lo + 1, all.hi}));
}

// A new reading, then the window redraws (decimation, series, axes, statistics) and repaints.
// Argument: 0 the whole run shown, 1 the last ten minutes followed, 2 the whole run of a day
// without gaps (one line instead of fifty).
void BM_NewReadingAndRepaint(benchmark::State &state) {
    Day &day = state.range(0) == 2 ? *g_dayWithoutGaps : *g_day;
    trend::qt::TrendServices services{g_fakes->files, g_fakes->messages, g_fakes->clock, {}};
    trend::qt::TrendWindow window(day.model, services);
    window.show();
    QApplication::processEvents();
    if (state.range(0) == 1) {
        window.zoom(600.0 / day.model.timeSpan().span(), 1.0);
    }
    for (auto _ : state) {
        day.add();
        window.refresh();
        QApplication::processEvents(); // paints what the refresh changed
    }
    state.counters["drawn"] = static_cast<double>(window.drawnPoints());
    state.counters["shown"] = static_cast<double>(window.shownReadings());
}

// Fixed iterations: the day grows by 0.4 % only.
BENCHMARK(BM_AddReading)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecimateWholeDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsWholeDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewReadingAndRepaint)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_day = std::make_unique<Day>(true);
    g_dayWithoutGaps = std::make_unique<Day>(false);
    g_fakes = std::make_unique<platform::fakes::FakePlatform>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_day.reset();
    g_dayWithoutGaps.reset();
    return 0;
}
