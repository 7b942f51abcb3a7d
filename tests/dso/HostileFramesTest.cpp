#include "Scope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qv::dso {
namespace {

using namespace test;

// A frame with random settings, samples, work mode and model (now and then any byte); now and
// then a packet is renumbered, repeated or lost.
std::vector<Packet> randomFrame(std::mt19937 &rng) {
    const auto byte = [&rng] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    const int model = rng() % 4 == 0 ? byte() : rng() % 9;
    const int mode = rng() % 8 == 0 ? byte() : 3 + rng() % 3;
    std::vector<Packet> packets = frame({}, mode, {});
    for (Packet &p : packets) { // any settings and samples, mostly a valid time base and gain
        for (int k = 1; k <= 16; ++k)
            p[k] = byte();
        p[17] = model, p[18] = mode;
    }
    packets[0][1] = rng() % 4 == 0 ? packets[0][1] : 18 + rng() % 9;
    packets[0][3] = rng() % 4 == 0 ? packets[0][3] : rng() % 16;
    const auto at = rng() % packets.size();
    if (const int damage = rng() % 12; damage == 0)
        packets[at][19] = byte();
    else if (damage == 1)
        packets.insert(packets.begin() + rng() % packets.size(), packets[at]);
    else if (damage == 2)
        packets.erase(packets.begin() + at);
    return packets;
}

TEST(HostileFrames, RandomFramesAreCompletedOrAbandoned) {
    Scope r;
    r.draw = true;
    std::mt19937 rng(20261207);
    int outcomes[4] = {};
    for (int n = 0; n < 400; ++n) {
        r.form.el.mnuStart.setChecked(rng() % 16 != 0);
        r.form.el.StartStop.setChecked(rng() % 2 == 0);
        for (const Packet &p : randomFrame(rng)) {
            const FrameOutcome o = r.feed({p});
            ++outcomes[static_cast<int>(o)];
            const auto &w = r.form.wave;
            ASSERT_TRUE(r.decoder.SampleIndex() >= 0 && r.decoder.SampleIndex() <= 256);
            ASSERT_TRUE(o != FrameOutcome::DataError || w.DsoParam[0] > 26 || w.DsoParam[2] > 15);
            ASSERT_TRUE(o != FrameOutcome::Shown || (w.WaveData[255] == w.WaveData[254] &&
                                                     r.form.el.Text1.text() == w.WaveTitle));
        }
        for (double v : r.form.wave.WaveData) // finite sample units the screen can draw
            ASSERT_TRUE(std::isfinite(v) && std::fabs(v) < 1024);
    }
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::Shown)], 100);
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::DataError)], 100);
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::Abandoned)], 5);
    EXPECT_EQ(r.displays, outcomes[static_cast<int>(FrameOutcome::Shown)]);
}

TEST(HostileFrames, RandomByteStreamsThroughThePort) {
    Scope r;
    r.draw = true;
    ASSERT_TRUE(r.fp.port.open());
    std::mt19937 rng(7);
    for (int n = 0; n < 400; ++n) {
        std::vector<std::uint8_t> bytes = bytesOf(randomFrame(rng));
        for (int k = rng() % 4; k > 0; --k) // garble a few bytes and cut the delivery anywhere
            bytes[rng() % bytes.size()] = rng() & 0xFF;
        bytes.resize(bytes.size() - rng() % 30);
        r.fp.port.deliver(bytes);
    }
    EXPECT_GT(r.displays, 2); // sync bytes inside the samples cost some frames
}

} // namespace
} // namespace qv::dso
