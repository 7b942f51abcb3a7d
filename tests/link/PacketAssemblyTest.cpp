#include "link/PacketAssembly.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Buffer = std::array<std::uint8_t, 20>;

Bytes seq(std::uint8_t first, int n) {
    Bytes b;
    for (int k = 0; k < n; ++k)
        b.push_back(static_cast<std::uint8_t>(first + k));
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Buffer buffer(const Bytes &b) {
    Buffer out{};
    for (size_t k = 0; k < out.size() && k < b.size(); ++k)
        out[k] = b[k];
    return out;
}

const Bytes kSync{0xFF};
/// The pending packet left by an earlier event: a head FF 50..68.
const Bytes kPending = cat({kSync, seq(50, 19)});
const Bytes kOldData = seq(200, 20);

struct AssemblyCase {
    const char *name;
    Bytes batch;
    bool ok;
    Bytes data;    ///< PacketData afterwards
    Bytes pending; ///< PacketPending afterwards
};

TEST(PacketAssemblyTest, BatchesOfEdgeAndFailureCases) {
    const std::vector<AssemblyCase> cases{
        {"a whole packet", cat({kSync, seq(1, 19)}), true, cat({kSync, seq(1, 19)}),
         cat({kSync, seq(1, 19)})},
        {"tail of three then a head", cat({seq(0xA1, 3), kSync, seq(1, 16)}), true,
         cat({kSync, seq(50, 16), seq(0xA1, 3)}), cat({kSync, seq(1, 16), seq(0xA1, 3)})},
        {"25 bytes from a sync byte: the last five are dropped", cat({kSync, seq(1, 24)}), true,
         cat({kSync, seq(1, 19)}), cat({kSync, seq(1, 19)})},
        {"sync byte last", cat({seq(1, 19), kSync}), true, cat({kSync, seq(1, 19)}),
         cat({kSync, seq(1, 19)})},
        {"20 bytes without a sync byte hand on the pending packet", seq(1, 20), true, kPending,
         kPending},
        {"short batch from a sync byte stops in the first copy", cat({kSync, seq(1, 4)}), false,
         kOldData, cat({kSync, seq(1, 4), seq(54, 15)})},
        {"short batch without a sync byte", seq(1, 5), false, cat({kSync, seq(50, 14), seq(1, 5)}),
         cat({kSync, seq(50, 14), seq(1, 5)})},
        {"short batch with a tail and a head", cat({seq(0xA1, 2), kSync, Bytes{7}}), false,
         cat({kSync, seq(50, 17), seq(0xA1, 2)}),
         cat({kSync, Bytes{7}, seq(51, 16), seq(0xA1, 2)})},
        {"empty batch", {}, false, kOldData, kPending},
        {"a second sync byte in the payload does not matter",
         cat({kSync, seq(1, 9), kSync, seq(11, 9)}), true,
         cat({kSync, seq(1, 9), kSync, seq(11, 9)}), cat({kSync, seq(1, 9), kSync, seq(11, 9)})},
    };
    for (const AssemblyCase &c : cases) {
        SCOPED_TRACE(c.name);
        common::SharedValues v;
        v.PacketPending = buffer(kPending);
        v.PacketData = buffer(kOldData);
        EXPECT_EQ(assemblePacket(v, c.batch), c.ok);
        EXPECT_EQ(v.PacketData, buffer(c.data));
        EXPECT_EQ(v.PacketPending, buffer(c.pending));
    }
}

TEST(PacketAssemblyTest, ReceivePacketReadsOneEventFromThePort) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    ASSERT_TRUE(fp.port.open());
    std::vector<Buffer> got;
    fp.port.setEventHandler([&](int) {
        if (receivePacket(form))
            got.push_back(form.v.PacketData);
    });
    fp.port.deliver(cat({kSync, seq(1, 19), kSync, seq(21, 19), kSync}));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], buffer(cat({kSync, seq(21, 19)})));
    EXPECT_EQ(fp.port.read().size(), 1u) << "the start of the third packet waits";
}

} // namespace
} // namespace qv::link
