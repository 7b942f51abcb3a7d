#include "Frames.h"
#include "dso/DsoDecoder.h"
#include "dso/WaveScreen.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qv::dso {
namespace {

using namespace test;

struct Receiver {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ScaleTables tables;
    Measurements measurements{form, tables};
    DsoDecoder decoder{form, tables};
    int shown = 0;

    Receiver() {
        dsoRunning(form);
        form.call.DSO_display = [this] {
            ++shown;
            DSO_display(form, tables, measurements);
        };
    }
};

std::uint8_t byte(std::mt19937 &rng) {
    return static_cast<std::uint8_t>(rng() & 0xFF);
}

// A frame with random settings, samples, model and work mode; now and then a packet is lost,
// repeated or numbered wrongly.
std::vector<Packet> randomFrame(std::mt19937 &rng) {
    const int model = rng() % 4 == 0 ? byte(rng) : static_cast<int>(rng() % 9);
    const int mode = rng() % 8 == 0 ? byte(rng) : 3 + static_cast<int>(rng() % 3);
    Settings s;
    s.timeBase = rng() % 4 == 0 ? byte(rng) : static_cast<std::uint8_t>(18 + rng() % 9);
    s.trigger = byte(rng);
    s.gain = rng() % 4 == 0 ? byte(rng) : static_cast<std::uint8_t>(rng() % 16);
    s.position = byte(rng);
    s.coupling = byte(rng);
    s.slope = byte(rng);
    s.level = byte(rng);
    s.zero = byte(rng);
    s.memory = byte(rng);
    std::array<std::uint8_t, 256> samples{};
    for (auto &v : samples)
        v = byte(rng);
    std::vector<Packet> packets = frame(model, mode, s, samples);
    if (rng() % 4 == 0) {
        Packet &p = packets[rng() % packets.size()];
        switch (rng() % 3) {
        case 0:
            p[19] = byte(rng);
            break;
        case 1:
            packets.insert(packets.begin() + static_cast<long>(rng() % packets.size()), p);
            break;
        default:
            packets.erase(packets.begin() + static_cast<long>(rng() % packets.size()));
        }
    }
    return packets;
}

TEST(HostileFrames, RandomFramesAreCompletedOrAbandoned) {
    Receiver r;
    std::mt19937 rng(20261207);
    int outcomes[4] = {};
    for (int n = 0; n < 100000; ++n) {
        r.form.el.mnuStart.setChecked(rng() % 16 != 0);
        r.form.el.StartStop.setChecked(rng() % 2 == 0);
        for (const Packet &p : randomFrame(rng)) {
            r.form.v.PacketData = p;
            const FrameOutcome o = r.decoder.decodePacket();
            ++outcomes[static_cast<int>(o)];
            ASSERT_GE(r.decoder.SampleIndex(), 0);
            ASSERT_LE(r.decoder.SampleIndex(), 256);
            const auto &w = r.form.wave;
            if (o == FrameOutcome::DataError)
                ASSERT_TRUE(w.DsoParam[0] > 26 || w.DsoParam[2] > 15);
            if (o == FrameOutcome::Shown) {
                ASSERT_EQ(w.WaveData[255], w.WaveData[254]);
                ASSERT_EQ(r.form.el.Text1.text(), w.WaveTitle);
            }
        }
        // Every value stays a finite sample-unit value the screen can draw.
        for (double v : r.form.wave.WaveData)
            ASSERT_TRUE(std::isfinite(v) && std::fabs(v) < 1024);
    }
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::Shown)], 1000);
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::DataError)], 1000);
    EXPECT_GT(outcomes[static_cast<int>(FrameOutcome::Abandoned)], 100);
    EXPECT_EQ(r.shown, outcomes[static_cast<int>(FrameOutcome::Shown)]);
}

TEST(HostileFrames, RandomByteStreamsThroughThePort) {
    Receiver r;
    r.fp.port.setEventHandler([&r](int code) {
        if (code == platform::SerialPort::kReceiveEvent)
            r.decoder.COM_DSO();
    });
    ASSERT_TRUE(r.fp.port.open());
    std::mt19937 rng(7);
    for (int n = 0; n < 2000; ++n) {
        std::vector<std::uint8_t> bytes;
        for (const Packet &p : randomFrame(rng))
            bytes.insert(bytes.end(), p.begin(), p.end());
        // Garble a few bytes and cut the delivery anywhere.
        for (int k = static_cast<int>(rng() % 4); k > 0; --k)
            bytes[rng() % bytes.size()] = byte(rng);
        bytes.resize(bytes.size() - rng() % 30);
        r.fp.port.deliver(bytes);
    }
    EXPECT_GT(r.shown, 10); // sync bytes inside the samples cost some frames
}

} // namespace
} // namespace qv::dso
