// One waveform frame through the whole program as the window runs it: 17 packets delivered to
// the port, assembled and decoded, reconstructed at the model's fastest time base, drawn with
// readouts, measurements and cursors re-armed, and the scope screen painted once at its default
// size. The frame interval of the link is 17 x 83.3 ms = 1.417 s. Then stepping through the
// frame history.
#include "app/ModeSwitch.h"
#include "app/Program.h"
#include "link/MeterSimulator.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/services/DisplayListPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using namespace qv;

std::vector<std::uint8_t> frame(int timeBase) {
    link::SimOptions options;
    options.mode = link::SimMode::Dso;
    options.dso.timeBase = timeBase;
    options.dso.period = 12;
    link::MeterSimulator meter(options);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 17; ++i) {
        const link::Packet p = meter.nextPacket();
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    return bytes;
}

void BM_FrameToScreen(benchmark::State &state) {
    platform::fakes::FakePlatform fp;
    fp.port.ports[1].cable = true;
    app::Program program(fp.platform);
    program.Form_Load();
    app::DSOmode(program.form());
    const std::vector<std::uint8_t> bytes = frame(static_cast<int>(state.range(0)));
    QImage screen(369, 337, QImage::Format_RGB32);
    const auto &scope = program.form().el.Picture1;
    for (auto _ : state) {
        fp.port.deliver(bytes);
        QPainter painter(&screen);
        qv::platform::qt::paintDisplayList(painter, scope.ops(), 0, {},
                                           QRectF(0, 0, screen.width(), screen.height()));
    }
    if (!program.form().wave.WaveValid)
        state.SkipWithError("no frame was completed");
}
BENCHMARK(BM_FrameToScreen)->Arg(23)->Arg(26)->Unit(benchmark::kMicrosecond);

/// The memory a history's frames take, their texts included.
std::size_t historyBytes(const dso::FrameHistory &h) {
    std::size_t total = sizeof h + h.capacity() * sizeof(dso::HistoryFrame);
    for (std::size_t i = 0; i < h.size(); ++i) {
        const dso::HistoryFrame &f = h.at(i);
        for (const std::string *s :
             {&f.modelName, &f.receivedAt, &f.wave.WaveDate, &f.wave.WaveTime, &f.wave.WaveTitle})
            if (s->capacity() > 15) // longer texts live outside the string object
                total += s->capacity() + 1;
    }
    return total;
}

// Stepping through the frame history while stopped (Wave > Previous frame / Next frame): a
// hundred frames received, then one step per iteration, back to the oldest and forward again,
// each redrawn with its readouts and measurements and the scope screen painted. The counter is
// the memory the hundred frames take.
void BM_HistoryStep(benchmark::State &state) {
    platform::fakes::FakePlatform fp;
    fp.port.ports[1].cable = true;
    app::Program program(fp.platform);
    program.Form_Load();
    app::DSOmode(program.form());
    link::SimOptions options;
    options.mode = link::SimMode::Dso;
    options.timeBaseTour = 3;
    link::MeterSimulator meter(options);
    fp.port.deliver(meter.nextBytes(20 * 17 * 100));
    program.commands().clickMenu("mnuPause");
    app::FrameBrowser &frames = program.frames();
    QImage screen(369, 337, QImage::Format_RGB32);
    const auto &scope = program.form().el.Picture1;
    bool back = true;
    for (auto _ : state) {
        if (back)
            frames.previous();
        else
            frames.next();
        const std::size_t at = frames.position().value_or(99);
        back = back ? at > 0 : at + 1 >= frames.history().size();
        QPainter painter(&screen);
        qv::platform::qt::paintDisplayList(painter, scope.ops(), 0, {},
                                           QRectF(0, 0, screen.width(), screen.height()));
    }
    if (frames.history().size() != 100)
        state.SkipWithError("the history did not fill");
    state.counters["history_bytes"] = static_cast<double>(historyBytes(frames.history()));
}
BENCHMARK(BM_HistoryStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
