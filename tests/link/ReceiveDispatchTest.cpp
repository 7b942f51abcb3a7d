#include "link/ReceiveDispatch.h"
#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace qv::link {
namespace {

struct DispatchFixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    int dmmCalls = 0, dsoCalls = 0;
    ReceiveDispatch dispatch{form, [this] { ++dmmCalls; }, [this] { ++dsoCalls; }};
};

TEST(ReceiveDispatchTest, EventCodeAndModeButtonChooseTheDecoder) {
    struct Case {
        int code;
        bool dmmMode;
        int dmm, dso;
    };
    const std::vector<Case> cases{
        {2, true, 1, 0}, {2, false, 0, 1}, {1, true, 0, 0}, {3, false, 0, 0}, {0, true, 0, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        DispatchFixture f;
        f.form.el.DMMmode.setChecked(c.dmmMode);
        f.dispatch.MSComm1_OnComm(c.code);
        EXPECT_EQ(f.dmmCalls, c.dmm);
        EXPECT_EQ(f.dsoCalls, c.dso);
    }
}

TEST(ReceiveDispatchTest, PortEventsReachTheDispatcherWhileItLives) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    ASSERT_TRUE(fp.port.open());
    int calls = 0;
    {
        ReceiveDispatch dispatch(
            form, [&] { ++calls; }, nullptr);
        form.el.DMMmode.setChecked(true);
        fp.port.raise(2);
        form.el.DMMmode.setChecked(false);
        fp.port.raise(2); // no DSO decoder given: nothing happens
    }
    fp.port.raise(2); // the dispatcher is gone
    EXPECT_EQ(calls, 1);
}

/// The decoder side of the test: assembles each event's packet as both decoders do.
struct Recorder {
    common::Form &form;
    std::vector<Packet> packets;
    int failures = 0;
    void operator()() {
        if (!receivePacket(form)) {
            ++failures;
            return;
        }
        packets.push_back(form.v.PacketData);
    }
};

TEST(ReceiveDispatchTest, NoPacketLostWhateverTheOperatingSystemBatches) {
    constexpr int kPackets = 10000;
    struct Case {
        SimMode mode;
        int startOffset;
    };
    const std::vector<Case> cases{{SimMode::Dmm, 0},       {SimMode::Dso, 0},
                                  {SimMode::DsoMemory, 0}, {SimMode::DmmMemory, 0},
                                  {SimMode::Dso, 7},       {SimMode::Dmm, 19}};
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode) * 100 + c.startOffset);
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        form.el.DMMmode.setChecked(c.mode == SimMode::Dmm || c.mode == SimMode::DmmMemory);
        Recorder recorder{form, {}, 0};
        ReceiveDispatch dispatch(form, std::ref(recorder), std::ref(recorder));
        ASSERT_TRUE(fp.port.open());

        const SimOptions options{.mode = c.mode, .seed = 11, .startOffset = c.startOffset};
        MeterSimulator source(options), reference(options);
        std::vector<Packet> sent;
        for (int k = 0; k < kPackets; ++k)
            sent.push_back(reference.nextPacket());
        std::vector<std::uint8_t> stream =
            source.nextBytes(std::size_t{kPackets} * 20 - static_cast<size_t>(c.startOffset));

        std::mt19937 rng(5);
        std::uniform_int_distribution<std::size_t> batchSize(1, 1024);
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min(batchSize(rng), stream.size() - at);
            fp.port.deliver({stream.begin() + static_cast<long>(at),
                             stream.begin() + static_cast<long>(at + n)});
            at += n;
        }

        EXPECT_EQ(recorder.failures, 0);
        // A stream that starts mid-packet completes its first packet only from the tail; every
        // later one arrives whole. The last one waits for the rest of its bytes.
        const std::size_t first = c.startOffset == 0 ? 0 : 1;
        const std::size_t whole = c.startOffset == 0 ? kPackets : kPackets - 1;
        ASSERT_EQ(recorder.packets.size(), whole);
        for (std::size_t k = first; k < whole; ++k)
            ASSERT_EQ(recorder.packets[k], sent[k]) << "packet " << k;
        EXPECT_EQ(fp.port.read().size(), c.startOffset == 0 ? 0u : 20u - c.startOffset);
    }
}

} // namespace
} // namespace qv::link
