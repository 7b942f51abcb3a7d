#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <sstream>
#include <vector>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
    struct Case {
        const char *name, *batch;
        bool ok;
        const char *data, *pending; // afterwards
    };
    const Case cases[] = {
        {"a whole packet", "S 1+19", true, "S 1+19", "S 1+19"},
        {"tail of three then a head", "161+3 S 1+16", true, "S 50+16 161+3", "S 1+16 161+3"},
        {"25 bytes from a sync byte: the last five are dropped", "S 1+24", true, "S 1+19",
         "S 1+19"},
        {"sync byte last", "1+19 S", true, "S 1+19", "S 1+19"},
        {"20 bytes without a sync byte hand on the pending packet", "1+20", true, "S 50+19",
         "S 50+19"},
        {"short batch from a sync byte stops in the first copy", "S 1+4", false, "200+20",
         "S 1+4 54+15"},
        {"short batch without a sync byte", "1+5", false, "S 50+14 1+5", "S 50+14 1+5"},
        {"short batch with a tail and a head", "161+2 S 7", false, "S 50+17 161+2",
         "S 7 51+16 161+2"},
        {"empty batch", "", false, "200+20", "S 50+19"},
        {"a second sync byte in the payload does not matter", "S 1+9 S 11+9", true, "S 1+9 S 11+9",
         "S 1+9 S 11+9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        common::SharedValues v;
        v.PacketPending = packet("S 50+19");
        v.PacketData = packet("200+20");
        EXPECT_EQ(assemblePacket(v, bytes(c.batch)), c.ok);
        EXPECT_EQ(v.PacketData, packet(c.data));
        EXPECT_EQ(v.PacketPending, packet(c.pending));
    }
}

/// A form on an open fake port whose receive events go through the dispatcher to a decoder that
/// assembles each event's packet, as both real decoders do.
struct ReceiveFixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    int calls[2] = {}, failures = 0; // DSO, DMM decoder
    std::vector<Packet> packets;
    ReceiveDispatch dispatch{form, [this] { decode(true); }, [this] { decode(false); }};
    ReceiveFixture() { EXPECT_TRUE(fp.port.open()); }
    void decode(bool dmm) {
        ++calls[dmm];
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
        else
            ++failures;
    }
};

TEST(ReceiveDispatchTest, OnlyReceiveEventsReachTheDecoderWhileTheDispatcherLives) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    ASSERT_TRUE(fp.port.open());
    int calls = 0;
    std::optional<ReceiveDispatch> dispatch;
    dispatch.emplace(
        form, [&] { ++calls; }, nullptr);
    form.el.DMMmode.setChecked(true);
    for (int code : {0, 1, 3, 2})
        fp.port.raise(code);
    form.el.DMMmode.setChecked(false);
    fp.port.raise(2); // DSO mode without a DSO decoder: nothing happens
    form.el.DMMmode.setChecked(true);
    dispatch.reset();
    fp.port.raise(2); // the dispatcher is gone
    EXPECT_EQ(calls, 1);
}

TEST(ReceiveDispatchTest, NoPacketLostWhateverTheOperatingSystemBatches) {
    constexpr std::size_t kPackets = 10000;
    const std::pair<SimMode, int> cases[] = {{SimMode::Dmm, 0},       {SimMode::Dso, 0},
                                             {SimMode::DsoMemory, 0}, {SimMode::DmmMemory, 0},
                                             {SimMode::Dso, 7},       {SimMode::Dmm, 19}};
    for (const auto &[mode, offset] : cases) {
        SCOPED_TRACE(static_cast<int>(mode) * 100 + offset);
        ReceiveFixture f;
        const bool dmm = mode == SimMode::Dmm || mode == SimMode::DmmMemory;
        f.form.el.DMMmode.setChecked(dmm);
        const SimOptions options{.mode = mode, .seed = 11, .startOffset = offset};
        MeterSimulator source(options), reference(options);
        const Bytes stream = source.nextBytes(kPackets * 20 - static_cast<std::size_t>(offset));
        std::mt19937 rng(5);
        std::uniform_int_distribution<long> batchSize(1, 1024);
        for (auto at = stream.begin(); at != stream.end();) {
            const auto next = at + std::min(batchSize(rng), long(stream.end() - at));
            f.fp.port.deliver({at, next});
            at = next;
        }
        EXPECT_EQ(f.failures, 0);
        EXPECT_EQ(f.calls[!dmm], 0) << "the mode button chooses the decoder";
        // The last packet waits for the rest of its bytes.
        const std::size_t whole = offset == 0 ? kPackets : kPackets - 1;
        ASSERT_EQ(f.packets.size(), whole);
        for (std::size_t k = 0; k < whole; ++k) {
            Packet sent = reference.nextPacket();
            if (k == 0) // a mid-packet start completes the first packet from its tail only
                std::fill_n(sent.begin(), offset, 0);
            ASSERT_EQ(f.packets[k], sent) << "packet " << k;
        }
        EXPECT_EQ(f.fp.port.read().size(), offset == 0 ? 0u : 20u - offset);
    }
}

} // namespace
} // namespace qv::link
