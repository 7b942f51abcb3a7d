#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "platform/fakes/FakePlatform.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace qv;

/// Packets per second from operating-system batches through the receive queue and the packet
/// assembly, as the receive event runs them.
void BM_ReceiveAndAssemble(benchmark::State &state) {
    const auto batch = static_cast<std::size_t>(state.range(0));
    link::MeterSimulator sim({.mode = link::SimMode::Dso, .startOffset = 7});
    const std::vector<std::uint8_t> stream = sim.nextBytes(20 * 50000);
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    (void)fp.port.open();
    std::int64_t packets = 0;
    fp.port.setEventHandler([&](int) {
        if (link::receivePacket(form))
            ++packets;
    });
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + batch > stream.size())
            at = 0;
        fp.port.deliver({stream.begin() + static_cast<long>(at),
                         stream.begin() + static_cast<long>(at + batch)});
        at += batch;
    }
    benchmark::DoNotOptimize(form.v.PacketData);
    state.counters["packets/s"] =
        benchmark::Counter(static_cast<double>(packets), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceiveAndAssemble)->Arg(1)->Arg(20)->Arg(1024);

} // namespace
