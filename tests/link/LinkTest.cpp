#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/RunControl.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string bits(std::initializer_list<bool> states) {
    std::string s;
    for (bool b : states)
        s += b ? '1' : '0';
    return s;
}

/// Bytes from blank-separated items: "S" a sync byte, "a+n" n bytes counting up from a, "a" one.
Bytes bytes(const std::string &layout) {
    Bytes out;
    std::istringstream in(layout);
    for (std::string item; in >> item;) {
        const auto plus = item.find('+');
        const int first = item == "S" ? 0xFF : std::stoi(item.substr(0, plus));
        const int n = plus == std::string::npos ? 1 : std::stoi(item.substr(plus + 1));
        for (int k = 0; k < n; ++k)
            out.push_back(static_cast<std::uint8_t>(first + k));
    }
    return out;
}

Packet packet(const std::string &layout) {
    const Bytes b = bytes(layout);
    Packet out{};
    std::copy_n(b.begin(), std::min(b.size(), out.size()), out.begin());
    return out;
}

TEST(PacketAssemblyTest, BatchesOfEdgeAndFailureCases) {
    // Before each batch: PacketPending holds a head FF 50..68, PacketData 200..219.
    // Batch, whether a packet is complete, PacketData and PacketPending afterwards.
    const std::tuple<const char *, bool, const char *, const char *> cases[] = {
        {"S 1+19", true, "S 1+19", "S 1+19"},
        {"161+3 S 1+16", true, "S 50+16 161+3", "S 1+16 161+3"},
        {"S 1+24", true, "S 1+19", "S 1+19"}, // 25 bytes: the last five are dropped
        {"1+19 S", true, "S 1+19", "S 1+19"},
        {"1+20", true, "S 50+19", "S 50+19"}, // no sync byte: the pending packet goes on
        {"S 1+4", false, "200+20", "S 1+4 54+15"},
        {"1+5", false, "S 50+14 1+5", "S 50+14 1+5"},
        {"161+2 S 7", false, "S 50+17 161+2", "S 7 51+16 161+2"},
        {"", false, "200+20", "S 50+19"},
    };
    for (const auto &[batch, ok, data, pending] : cases) {
        SCOPED_TRACE(batch);
        common::SharedValues v;
        v.PacketPending = packet("S 50+19");
        v.PacketData = packet("200+20");
        EXPECT_EQ(assemblePacket(v, bytes(batch)), ok);
        EXPECT_EQ(v.PacketData, packet(data));
        EXPECT_EQ(v.PacketPending, packet(pending));
    }
}

/// A form in DMM mode on an open fake port, keeping every packet the DMM decoder takes.
struct DispatchRig {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    std::vector<Packet> packets;
    int failures = 0;
    ReceiveDispatch dispatch{form, [this] { decode(); }, [] { ADD_FAILURE() << "DSO decoder"; }};
    DispatchRig() {
        EXPECT_TRUE(fp.port.open());
        form.el.DMMmode.setChecked(true);
    }
    void decode() {
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
        else
            ++failures;
    }
};

TEST(ReceiveDispatchTest, NoPacketLostWhateverTheOperatingSystemBatches) {
    // 10,000 packets' worth of bytes from a meter met seven bytes into a packet.
    constexpr std::size_t kPackets = 10000, kOffset = 7;
    DispatchRig r;
    const SimOptions options{.mode = SimMode::Dmm, .seed = 11, .startOffset = int(kOffset)};
    MeterSimulator source(options), reference(options);
    const Bytes stream = source.nextBytes(kPackets * 20 - kOffset);
    for (const int code : {0, 1, 3, 1002})
        r.fp.port.raise(code); // line changes and errors: no decoder runs
    std::mt19937 rng(5);
    std::uniform_int_distribution<long> batchSize(1, 1024);
    for (auto at = stream.begin(); at != stream.end();) {
        const auto next = at + std::min(batchSize(rng), long(stream.end() - at));
        r.fp.port.deliver({at, next});
        at = next;
    }
    EXPECT_EQ(r.failures, 0);
    // The first packet is completed from its tail only; the last waits for the rest of its bytes.
    ASSERT_EQ(r.packets.size(), kPackets - 1);
    for (std::size_t k = 0; k < r.packets.size(); ++k) {
        Packet sent = reference.nextPacket();
        if (k == 0)
            std::fill_n(sent.begin(), kOffset, 0);
        ASSERT_EQ(r.packets[k], sent) << "packet " << k;
    }
    EXPECT_EQ(r.fp.port.read().size(), 20u - kOffset);
}

TEST(ReceiveDispatchTest, AfterACutNothingIsDecodedUntilANewPacketHasStarted) {
    DispatchRig r;
    r.fp.port.deliver(bytes("S 1+19 S 1+11")); // a, and the head of the next packet when the
    r.fp.port.fail();                          // device goes away
    ASSERT_TRUE(r.fp.port.open());
    r.dispatch.resync();
    // 30 bytes without a sync byte (still cut), the tail of a packet after the gap, 3 packets b.
    r.fp.port.deliver(bytes("32+30 105+15 S 101+19 S 101+19 S 101+19"));
    // Nothing from the two events without a sync byte nor the one that starts b; then b twice
    // whole (the last b waits for the next sync byte).
    EXPECT_EQ(r.packets,
              std::vector<Packet>({packet("S 1+19"), packet("S 101+19"), packet("S 101+19")}));
}

TEST(RunControlTest, StatesOfEachCommandInBothModes) {
    enum Action { Press, Raise, MenuStart, MenuPause };
    // DMM mode, action; afterwards: running, the record start item and button enabled, the
    // button down, the scope screen accepting dropped files; record pauses called.
    // clang-format off
    const std::tuple<bool, Action, bool, const char *, int> cases[] = {
        {true, Press, true, "1101", 0},      {false, Press, true, "0000", 0},
        {true, Raise, false, "0000", 1},     {false, Raise, false, "1111", 0},
        {true, MenuStart, true, "1101", 0},  {false, MenuStart, true, "0001", 0},
        {false, MenuPause, false, "0000", 1}};
    // clang-format on
    for (const auto &[dmm, action, running, record, pauses] : cases) {
        SCOPED_TRACE(action * 2 + dmm);
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        int pauseCalls = 0;
        form.call.mnuDMMRecordPause_Click = [&] { ++pauseCalls; };
        common::Elements &el = form.el;
        el.DMMmode.setChecked(dmm);
        // Before a start: stopped. Before a stop: running with a record in progress.
        const bool start = action == Press || action == MenuStart;
        for (common::Control *c : {&el.mnuStart, &el.mnuDMMRecordStart, &el.DMMRecord})
            c->setEnabled(!start), c->setChecked(!start);
        el.mnuPause.setChecked(start), el.mnuPause.setEnabled(!start);
        el.Picture1Drops.setChecked(start);
        RunControl run(form);
        el.StartStop.setChecked(start); // as a click on the button toggles it
        if (action == MenuStart)
            run.mnuStart_Click();
        else if (action == MenuPause)
            run.mnuPause_Click();
        else
            run.StartStop();
        EXPECT_EQ(bits({run.running(), el.mnuStart.checked(), !el.mnuStart.enabled(),
                        !el.mnuPause.checked(), el.mnuPause.enabled(), el.StartStop.checked(),
                        el.mnuDMMRecordStart.enabled(), el.DMMRecord.enabled(),
                        el.DMMRecord.checked(), el.Picture1Drops.checked()}),
                  std::string(6, running ? '1' : '0') + record);
        EXPECT_EQ(pauseCalls, pauses);
    }
}

TEST(MeterSimulatorTest, MemoryPlaybackSendsMessagesThenNumberedReadings) {
    constexpr int kStored = DmmPacketSource::kStoredReadings;
    MeterSimulator sim({.mode = SimMode::DmmMemory});
    std::string modes, texts;
    for (int k = 0; k < 3 + kStored + DmmPacketSource::kLiveBetween; ++k) {
        const Packet p = sim.nextPacket();
        modes += char('0' + p[18]);
        texts.append(p.begin() + 1, p.begin() + 17);
        EXPECT_TRUE(p[18] != 1 || p[19] == k - 2) << "stored reading " << k - 2;
    }
    EXPECT_EQ(modes, "22" + std::string(kStored, '1') + "2" +
                         std::string(DmmPacketSource::kLiveBetween, '0'));
    EXPECT_EQ(texts.substr(0, 19), "Data start         ");
    EXPECT_EQ(texts.substr(16 * (2 + kStored), 6), "Data e");
}

TEST(MeterSimulatorTest, ScopeFramesCarryTheirSettings) {
    DsoSignal s{.timeBase = 24, .gain = 9, .triggerPos = -20, .verticalPos = 12, .slope = 0};
    s.level = -8, s.zeroLevel = 120;
    for (const auto &[mode, workModes] : {std::pair{SimMode::Dso, std::vector{3, 3, 3}},
                                          std::pair{SimMode::DsoMemory, std::vector{4, 5, 4}}}) {
        MeterSimulator sim({.mode = mode, .model = 5, .dso = s});
        for (std::size_t frame = 0; frame < workModes.size(); ++frame) {
            const int memory = mode == SimMode::DsoMemory ? int(frame + 1) : 0;
            for (int n = 1; n <= 17; ++n) {
                const Packet p = sim.nextPacket();
                EXPECT_EQ(std::vector<int>({p[0], p[17], p[18], p[19]}),
                          std::vector<int>({0xFF, 5, workModes[frame], n}));
                ASSERT_EQ(std::count(p.begin(), p.end(), 0xFF), 1) << "a payload sync byte";
                if (n == 1) {
                    EXPECT_EQ(std::vector<int>(p.begin() + 1, p.begin() + 10),
                              std::vector<int>({24, 108, 9, 140, 1, 0, 120, 120, memory}));
                }
            }
        }
    }
}

} // namespace
} // namespace qv::link
