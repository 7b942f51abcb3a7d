#include "dso/DsoDecoder.h"
#include "Frames.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::dso {
namespace {

using namespace test;

struct Bench {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ScaleTables tables;
    DsoDecoder decoder{form, tables};
    int displays = 0, spectra = 0, dmmModes = 0;

    Bench() {
        dsoRunning(form);
        form.call.DSO_display = [this] { ++displays; };
        form.call.FFT_Display = [this] { ++spectra; };
        form.call.DMMmode = [this] { ++dmmModes; };
    }
    FrameOutcome feed(const Packet &p) {
        form.v.PacketData = p;
        return decoder.decodePacket();
    }
    FrameOutcome feed(const std::vector<Packet> &packets) {
        FrameOutcome last = FrameOutcome::None;
        for (const Packet &p : packets)
            last = feed(p);
        return last;
    }
    [[nodiscard]] std::vector<std::string> panelTexts() const {
        std::vector<std::string> out;
        for (const auto &op : form.el.Picture2.ops())
            if (const auto *t = std::get_if<common::TextOp>(&op))
                out.push_back(t->text);
        return out;
    }
};

std::array<std::uint8_t, 256> ramp() {
    std::array<std::uint8_t, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    return s;
}

TEST(DsoDecoder, CompleteFrameCopiesSamplesAndSetsTitleDateAndCommands) {
    Bench b;
    b.form.el.Save.setEnabled(false);
    b.form.el.mnuCopy.setEnabled(false);
    b.form.v.CurrentFileName = "old.dso";
    Settings s;
    s.zero = 100;
    s.position = 138;
    EXPECT_EQ(b.feed(frame(3, 3, s, ramp())), FrameOutcome::Shown);
    const auto &w = b.form.wave;
    for (int i = 0; i <= 254; ++i)
        ASSERT_EQ(w.WaveData[i], i - 100) << i;
    EXPECT_EQ(w.WaveData[255], w.WaveData[254]);
    EXPECT_EQ(w.DsoParam[3], 10);
    EXPECT_EQ(w.DsoParam[7], -28);
    EXPECT_EQ(w.WaveTitle, "Meter 7304 DSO sample ");
    EXPECT_EQ(b.form.el.Text1.text(), w.WaveTitle);
    EXPECT_EQ(w.WaveDate, "2026-12-07");
    EXPECT_EQ(w.WaveTime, "14:03");
    EXPECT_TRUE(w.WaveValid);
    EXPECT_TRUE(b.form.el.Save.enabled());
    EXPECT_TRUE(b.form.el.mnuCopy.enabled());
    EXPECT_EQ(b.form.v.CurrentFileName, "");
    EXPECT_EQ(b.displays, 1);
    EXPECT_EQ(b.form.el.panel[2].text(), "工作模式: DSO");
    EXPECT_EQ(b.panelTexts(), (std::vector<std::string>{"Data start", "Data end"}));
    EXPECT_EQ(b.decoder.SampleIndex(), 0);
}

TEST(DsoDecoder, ProgressMarksOnePerDataPacket) {
    Bench b;
    b.feed(frame(3, 3, Settings{}, ramp()));
    int marks = 0;
    for (const auto &op : b.form.el.Picture2.ops())
        if (const auto *box = std::get_if<common::BoxOp>(&op);
            box && box->fill == common::kProgress) {
            const int n = marks + 2;
            EXPECT_EQ(box->x1, n * 150 + 120);
            EXPECT_EQ(box->x2, n * 150 + 200);
            EXPECT_EQ(box->y1, 800);
            ++marks;
        }
    EXPECT_EQ(marks, 16);

    Bench quiet;
    quiet.form.el.StartStop.setChecked(false);
    quiet.feed(frame(3, 3, Settings{}, ramp()));
    EXPECT_TRUE(quiet.panelTexts().empty());
}

TEST(DsoDecoder, Model3ChoosesReconstructionByTimeBase) {
    // A flat record 12 above the zero level, trigger level 0: every path gives 12 where written.
    const struct {
        std::uint8_t timeBase;
        bool reconstructed;
    } cases[] = {{23, false}, {24, true}, {25, true}, {26, true}};
    for (const auto &c : cases) {
        Bench b;
        b.form.wave.WaveData.fill(-1);
        Settings s;
        s.timeBase = c.timeBase;
        std::array<std::uint8_t, 256> samples = flat(140);
        samples[0] = 0; // only the copy path reads sample 0
        ASSERT_EQ(b.feed(frame(3, 3, s, samples)), FrameOutcome::Shown) << int(c.timeBase);
        const auto &w = b.form.wave.WaveData;
        EXPECT_EQ(w[0], c.reconstructed ? 12 : -128) << int(c.timeBase);
        EXPECT_EQ(w[100], 12) << int(c.timeBase);
        EXPECT_EQ(w[255], w[254]) << int(c.timeBase);
        // The reconstructions write point 256 (sinc0 through its even points); the copy does not.
        EXPECT_EQ(w[256], c.reconstructed ? 12 : -1) << int(c.timeBase);
    }
}

TEST(DsoDecoder, TimeBaseAboveTheModelsTopKeepsTheWaveButRedraws) {
    Bench b;
    b.form.wave.WaveData.fill(4);
    Settings s;
    s.timeBase = 26; // model 0 tops out at 23
    EXPECT_EQ(b.feed(frame(0, 3, s, flat(200))), FrameOutcome::Shown);
    EXPECT_EQ(b.form.wave.WaveData[10], 4);
    EXPECT_EQ(b.form.wave.WaveTitle, "Meter 7302 DSO sample ");
    EXPECT_EQ(b.displays, 1);
}

TEST(DsoDecoder, DataErrorLeavesWaveTitleAndCommands) {
    const struct {
        std::uint8_t timeBase, gain;
        FrameOutcome expected;
    } cases[] = {{27, 0, FrameOutcome::DataError},
                 {0, 16, FrameOutcome::DataError},
                 {26, 15, FrameOutcome::Shown}};
    for (const auto &c : cases) {
        Bench b;
        b.form.wave.WaveData.fill(9);
        b.form.wave.WaveTitle = "before";
        b.form.el.Save.setEnabled(false);
        Settings s;
        s.timeBase = c.timeBase;
        s.gain = c.gain;
        s.trigger = 140;
        EXPECT_EQ(b.feed(frame(5, 3, s, flat(128))), c.expected);
        EXPECT_EQ(b.form.wave.DsoParam[0], c.timeBase);
        EXPECT_EQ(b.form.wave.DsoParam[1], 12);
        if (c.expected != FrameOutcome::DataError)
            continue;
        EXPECT_EQ(b.panelTexts().back(), "Data error!");
        EXPECT_EQ(b.form.wave.WaveTitle, "before");
        EXPECT_EQ(b.form.wave.WaveData[0], 9);
        EXPECT_FALSE(b.form.el.Save.enabled());
        EXPECT_EQ(b.displays, 0);
    }
}

TEST(DsoDecoder, AbandonedReconstructionShowsNothingNew) {
    Bench b;
    b.form.wave.WaveData.fill(9);
    b.form.wave.WaveTitle = "before";
    Settings s;
    s.timeBase = 25; // model 3: sinc1
    s.trigger = 128 + 61;
    EXPECT_EQ(b.feed(frame(3, 3, s, flat(140))), FrameOutcome::Abandoned);
    EXPECT_EQ(b.form.wave.WaveData[0], 9);
    EXPECT_EQ(b.form.wave.WaveTitle, "before");
    EXPECT_EQ(b.form.wave.DsoParam[7], 128); // the new record, zero level still raw
    EXPECT_EQ(b.displays, 0);
}

TEST(DsoDecoder, StoredWaveformTitleCarriesTheMemoryNumber) {
    const struct {
        int mode;
        std::uint8_t memory;
        const char *title;
    } cases[] = {{3, 5, "Meter QM520V DSO sample "},
                 {4, 5, "Meter QM520V DSO database No.  5"},
                 {5, 12, "Meter QM520V DSO database No.  12"}};
    for (const auto &c : cases) {
        Bench b;
        Settings s;
        s.memory = c.memory;
        b.feed(frame(6, c.mode, s, flat(128)));
        EXPECT_EQ(b.form.wave.WaveTitle, c.title);
    }
}

TEST(DsoDecoder, StoppedAcquisitionCollectsButDoesNotComplete) {
    Bench b;
    b.form.el.mnuStart.setChecked(false);
    EXPECT_EQ(b.feed(frame(3, 3, Settings{}, ramp())), FrameOutcome::None);
    EXPECT_FALSE(b.form.wave.WaveValid);
    EXPECT_EQ(b.displays, 0);
    EXPECT_EQ(b.decoder.SampleIndex(), 256);
    EXPECT_EQ(b.decoder.RawSamples()[255], 255);
}

TEST(DsoDecoder, SpectrumViewRedrawsTheSpectrum) {
    Bench b;
    b.form.el.DSO_wave.setChecked(false);
    b.feed(frame(3, 3, Settings{}, ramp()));
    EXPECT_EQ(b.spectra, 1);
    EXPECT_EQ(b.displays, 0);
}

TEST(DsoDecoder, DuplicatedPacketShiftsLaterSamplesAndOverflowsOnto256) {
    Bench b;
    b.fp.port.setEventHandler([&b](int code) {
        if (code == platform::SerialPort::kReceiveEvent)
            b.decoder.COM_DSO();
    });
    ASSERT_TRUE(b.fp.port.open());
    const auto packets = frame(3, 3, Settings{}, ramp());
    // Each batch holds the tail of one packet and the head of the next, as the meter sends them.
    std::vector<std::uint8_t> stream;
    const auto send = [&](const Packet &p) { stream.insert(stream.end(), p.begin(), p.end()); };
    for (int n = 0; n < 5; ++n)
        send(packets[n]);
    b.fp.port.deliver(stream);
    // A batch without a sync byte hands the pending packet (data packet 5) on again.
    b.fp.port.deliver(std::vector<std::uint8_t>(20, 0x11));
    stream.clear();
    for (size_t n = 5; n < packets.size(); ++n)
        send(packets[n]);
    send(packets[0]); // the next frame's header completes packet 17
    b.fp.port.deliver(stream);

    EXPECT_EQ(b.decoder.lastOutcome(), FrameOutcome::None); // the header came last
    EXPECT_EQ(b.displays, 1);
    const auto &raw = b.decoder.RawSamples();
    const auto &w = b.form.wave.WaveData;
    EXPECT_EQ(w[63], 63 - 128);
    EXPECT_EQ(w[64], 48 - 128); // packet 5 decoded twice: samples 48.. again
    EXPECT_EQ(w[80], 64 - 128); // the later packets moved up by 16
    EXPECT_EQ(w[254], 238 - 128);
    EXPECT_EQ(raw[256], 255); // the last 16 bytes all landed on index 256
}

TEST(DsoDecoder, HeaderInTheMiddleRestartsTheSampleCount) {
    Bench b;
    const auto packets = frame(3, 3, Settings{}, ramp());
    for (int n = 0; n < 6; ++n)
        b.feed(packets[n]);
    EXPECT_EQ(b.decoder.SampleIndex(), 80);
    b.feed(packets[0]);
    EXPECT_EQ(b.decoder.SampleIndex(), 0);
    EXPECT_EQ(b.decoder.PacketNumber(), 1);
}

TEST(DsoDecoder, EleventhDmmPacketAsksOnce) {
    const struct {
        platform::Answer answer;
        int dmmModes;
    } cases[] = {{platform::Answer::Ok, 1}, {platform::Answer::Cancel, 0}};
    for (const auto &c : cases) {
        Bench b;
        b.fp.messages.answers.push_back(c.answer);
        for (int i = 0; i < 10; ++i)
            b.feed(packet(3, 0, 0));
        EXPECT_TRUE(b.fp.messages.shown.empty());
        b.feed(packet(3, 0, 0));
        ASSERT_EQ(b.fp.messages.shown.size(), 1u);
        const auto &m = b.fp.messages.shown[0];
        EXPECT_EQ(m.text, "仪表当前工作在DMM模式，要将程序切换到DMM模式吗?");
        EXPECT_EQ(m.title, "QVLK: 请注意工作模式");
        EXPECT_EQ(m.buttons, platform::Buttons::OkCancel);
        EXPECT_EQ(m.defaultButton, platform::Answer::Cancel);
        EXPECT_TRUE(m.warning);
        EXPECT_EQ(b.dmmModes, c.dmmModes);
        for (int i = 0; i < 5; ++i)
            b.feed(packet(3, 2, 0));
        EXPECT_EQ(b.fp.messages.shown.size(), 1u);
        b.feed(packet(3, 3, 0));
        EXPECT_EQ(b.form.v.ModeMismatchCount, 0);
    }
}

TEST(DsoDecoder, DmmPacketsInterruptingTheCountStartItAgain) {
    Bench b;
    for (int i = 0; i < 10; ++i)
        b.feed(packet(3, 0, 0));
    b.feed(packet(3, 3, 0));
    for (int i = 0; i < 10; ++i)
        b.feed(packet(3, 0, 0));
    EXPECT_TRUE(b.fp.messages.shown.empty());
    EXPECT_EQ(b.form.v.ModeMismatchCount, 10);
}

} // namespace
} // namespace qv::dso
