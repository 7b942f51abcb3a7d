#include "dso/DsoDecoder.h"
#include "dso/WaveScreen.h"
#include "link/PacketAssembly.h"
#include "platform/fakes/FakePlatform.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using namespace qv;

// The 17 packets of one frame as the meter sends them, samples a sine-like ramp that avoids the
// sync byte.
std::vector<std::uint8_t> frameBytes(int model, int timeBase) {
    std::vector<std::uint8_t> out;
    for (int n = 1; n <= 17; ++n) {
        std::array<std::uint8_t, 20> p{};
        p[0] = 0xFF;
        p[17] = static_cast<std::uint8_t>(model);
        p[18] = 3;
        p[19] = static_cast<std::uint8_t>(n);
        if (n == 1) {
            const std::uint8_t header[9] = {
                static_cast<std::uint8_t>(timeBase), 128, 8, 128, 1, 1, 128, 128, 0};
            for (int k = 0; k < 9; ++k)
                p[k + 1] = header[k];
        } else {
            for (int k = 0; k < 16; ++k) {
                const int i = 16 * (n - 2) + k;
                p[k + 1] = static_cast<std::uint8_t>(128 + ((i / 10) % 2 ? 40 : -40) + i % 10);
            }
        }
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

struct Rig {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables tables;
    dso::Measurements measurements{form, tables};
    dso::DsoDecoder decoder{form, tables};

    explicit Rig(bool display) {
        form.el.mnuStart.setChecked(true);
        form.el.StartStop.setChecked(true);
        form.el.DSO_wave.setChecked(true);
        if (display)
            form.call.DSO_display = [this] { dso::DSO_display(form, tables, measurements); };
        fp.port.setEventHandler([this](int code) {
            if (code == platform::SerialPort::kReceiveEvent)
                decoder.COM_DSO();
        });
        (void)fp.port.open();
    }
};

// One complete frame: 17 packets through the port, assembly, decoding, reconstruction at the
// model's fastest time base (sinc3 for model 3, sinc4 for model 0), and the waveform view with
// its readouts and measurements.
void BM_FrameThroughWholePath(benchmark::State &state) {
    const int model = static_cast<int>(state.range(0));
    Rig rig(true);
    const auto bytes = frameBytes(model, rig.tables.TimeBaseTop(model));
    for (auto _ : state) {
        rig.fp.port.deliver(bytes);
        benchmark::DoNotOptimize(rig.form.el.Picture1.ops().size());
    }
    if (!rig.form.wave.WaveValid || rig.decoder.lastOutcome() != dso::FrameOutcome::Shown)
        state.SkipWithError("frame not completed");
    state.counters["frame_interval_fraction"] = benchmark::Counter(
        17 * 0.0833, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameThroughWholePath)->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond);

// Packets through assembly and decoding alone (frames complete, no view is drawn).
void BM_PacketsAssembledAndDecoded(benchmark::State &state) {
    Rig rig(false);
    const auto bytes = frameBytes(3, 20);
    size_t at = 0;
    for (auto _ : state) {
        const std::span<const std::uint8_t> batch(bytes.data() + at, 20);
        if (link::assemblePacket(rig.form.v, batch))
            benchmark::DoNotOptimize(rig.decoder.decodePacket());
        at = (at + 20) % bytes.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_PacketsAssembledAndDecoded);

} // namespace
