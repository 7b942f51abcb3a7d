#include "Scope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace qv::dso {
namespace {

using namespace test;
using O = FrameOutcome;
using Samples = Reconstruction::Samples;
constexpr auto W = Rebuild::Written, A = Rebuild::Abandoned;

// Odd entries, the frequency scales (index 26 in microseconds so that its frequencies come out
// in MHz) and total lookups: indices outside the tables, fractions (half to even) and NaN give 0.
TEST(ScaleTables, OddEntriesFrequencyScalesAndIndicesOutsideTheTables) {
    const ScaleTables t;
    const double nan = std::nan("");
    const std::tuple<double, double, double, std::string> gains[] = {
        // gain, model, V/div, unit
        {12, 7, 40, "mV"}, {11, 5, 50, "mV"},  {15, 8, 0, ""}, {3, -1, 0, ""},
        {-1, 3, 0, ""},    {9.5, 3, 0.2, "V"}, {nan, 3, 0, ""}};
    for (const auto &[g, m, value, unit] : gains)
        EXPECT_EQ(std::tuple(t.GainTable(g, m), t.GainUnit(g, m)), std::tuple(value, unit)) << g;
    // time-base index, model, time per division and its unit, the same for frequencies and the
    // unit the frequency starts from
    const std::tuple<double, double, double, std::string, double, int> times[] = {
        {7, 3, 0.1, "s", 0.1, 1},   {8, 1, 50, "ms", 50, 2},      {16, 3, 0.1, "ms", 0.1, 2},
        {17, 3, 50, "us", 50, 3},   {24, 1, 0.25, "us", 0.25, 3}, {25, 7, 0, "us", 0, 3},
        {26, 3, 50, "ns", 0.05, 3}, {26, 0, 0, "ns", 0, 3},       {27, 3, 0, "", 0, 3},
        {31, 3, 0, "", 0, 3},       {-0.5, 3, 20, "s", 20, 1},    {10, 9, 0, "ms", 0, 2}};
    for (const auto &[i, m, value, unit, perDiv, base] : times) {
        EXPECT_EQ(std::tuple(t.TimeBaseTable(i, m), t.TimeBaseUnit(i)), std::tuple(value, unit))
            << i;
        EXPECT_DOUBLE_EQ(t.timePerDivForFrequency(i, m), perDiv) << i;
        EXPECT_EQ(ScaleTables::frequencyBaseUnit(i), base) << i;
    }
    const int tops[] = {23, 24, 23, 26, 25, 26, 26, 24, 26, 0, 0};
    for (int m = 0; m <= 10; ++m)
        EXPECT_EQ(t.TimeBaseTop(m), tops[m]) << m;
    const char *units[] = {"", "mHz", "Hz ", "kHz", "MHz", ""};
    for (int i = -1; i <= 4; ++i)
        EXPECT_EQ(t.FreqUnit(i), units[i + 1]) << i;
}

// A record as the frame completion hands it over: signed trigger position and level, raw zero.
common::Waveform record(double trigger, double slope, double level, double zero, double fill) {
    common::Waveform w;
    w.DsoParam[1] = trigger, w.DsoParam[5] = slope, w.DsoParam[6] = level, w.DsoParam[7] = zero;
    w.WaveData.fill(fill);
    return w;
}

TEST(Reconstruction, Sinc0AveragesNeighboursOfAlternatingSamples) {
    Reconstruction r;
    Samples raw{};
    for (int i = 0; i < 257; ++i)
        raw[i] = 100 + (i % 2 ? 20 : 0);
    common::Waveform w = record(0, 1, 0, 100, -7);
    r.sinc0(raw, w);
    // Even points are samples 62 + i/2; point 255 is left for the frame completion.
    for (int i = 0; i <= 256; ++i)
        EXPECT_EQ(w.WaveData[i], i == 255 ? -7 : i % 2 ? 10 : (i / 2) % 2 ? 20 : 0) << i;
}

// A flat record at the zero level comes out as zeros wherever the trigger position lets the
// filters work; where an index would leave its array the frame is abandoned, the waveform kept.
TEST(Reconstruction, FlatRecordsAndTriggerPositionsOutsideTheFilters) {
    Samples raw;
    raw.fill(128);
    const std::tuple<int, double, Rebuild> cases[] = {
        // sinc 0/1/3/4, trigger position, outcome
        {0, 0, W},   {1, 0, W},    {3, 0, W},   {4, 0, W},   {1, 61, A}, {1, 60, A},
        {1, 59, W},  {1, -128, W}, {3, -85, A}, {3, -84, W}, {3, 58, A}, {3, 57, W},
        {4, -76, A}, {4, -75, W},  {4, 56, W},  {4, 57, A}};
    for (const auto &[proc, trigger, expected] : cases) {
        Reconstruction r;
        common::Waveform w = record(trigger, 1, 0, 128, 5);
        Rebuild got = W;
        if (proc == 0)
            r.sinc0(raw, w);
        else
            got = proc == 1 ? r.sinc1(raw, w) : proc == 3 ? r.sinc3(raw, w) : r.sinc4(raw, w);
        EXPECT_EQ(got, expected) << "sinc" << proc << " p=" << trigger;
        for (int i = 0; i <= 256; ++i) {
            if (i != 255) {
                ASSERT_EQ(w.WaveData[i], got == W ? 0 : 5) << "sinc" << proc << " p=" << trigger;
            }
        }
    }
}

TEST(Reconstruction, Sinc4SecondPhaseIsHighBy129Over128) {
    Reconstruction r;
    common::Waveform w = record(0, 1, 10, 128, 0);
    Samples raw;
    raw.fill(138);
    ASSERT_EQ(r.sinc4(raw, w), W);
    // Found at once at f - 6: the record moves right by 6 and its first 6 entries stay.
    const auto entry = [](int k) { return (k < 6 ? k : k - 6) % 5 == 2 ? 10.0 * 129 / 128 : 10; };
    for (int k = 0; k <= 128; ++k) {
        EXPECT_EQ(w.WaveData[2 * k], entry(k)) << k;
        if (k < 128) {
            EXPECT_EQ(w.WaveData[2 * k + 1], (entry(k) + entry(k + 1)) / 2) << k;
        }
    }
}

TEST(Reconstruction, Sinc1InterpolatesARampAtItsMidpoints) {
    Reconstruction r;
    Samples raw{};
    for (int i = 0; i < 257; ++i)
        raw[i] = i;
    // p = 1: c = 31, A(n) = 62 + n, so SincOut holds 93, 93.5, 94 ... and the level 0 is met at
    // once (f - 3), moving the record right by 3.
    common::Waveform w = record(1, 1, 0, 0, 0);
    ASSERT_EQ(r.sinc1(raw, w), W);
    EXPECT_EQ(std::tuple(r.SincIn()[0], r.SincOut()[0]), std::tuple(93.5f, 93.0f));
    EXPECT_EQ(w.WaveData[2 * 10], 93 + (10 - 3) * 0.5);
    EXPECT_EQ(w.WaveData[2 * 10 - 1], 93 + (9.5 - 3) * 0.5);
}

// The search starts at f - window; the record moves so that the crossing lands on f, keeping its
// first entries when it moves right. A falling slope already below takes the window start; no
// crossing keeps the previous waveform.
TEST(Reconstruction, RetrigMovesTheCrossingOntoTheTriggerIndex) {
    const int f = 62; // trigger position 0
    // slope, first entry above the level, window, shift (positive: left), outcome
    const std::tuple<int, int, std::int16_t, int, Rebuild> cases[] = {
        {1, f + 2, 3, 2, W},
        {1, f - 3, 3, -3, W},
        {1, f, 3, 0, W},
        {0, 513, 5, -5, W},
        {1, 513, 6, 0, Rebuild::Kept}};
    for (const auto &[slope, crossing, window, shift, expected] : cases) {
        Reconstruction r;
        for (int i = 0; i < Reconstruction::kSincSize; ++i)
            r.SincOut()[i] = (i < crossing ? -1000.0f : 1000.0f) + i;
        const auto old = r.SincOut();
        common::Waveform w = record(0, slope, 10, 128, 7);
        ASSERT_EQ(r.retrig(w, window), expected) << crossing;
        for (int k = 0; k <= 128; ++k) {
            const int from = shift >= 0 || k >= -shift ? k + shift : k;
            EXPECT_EQ(w.WaveData[2 * k], expected == W ? old[from] : 7) << crossing << " " << k;
        }
    }
}

Bytes ramp() {
    Bytes s;
    for (int i = 0; i < 256; ++i)
        s[i] = i;
    return s;
}

Bytes flat(std::uint8_t v, int first) {
    Bytes s;
    s.fill(v);
    s[0] = first;
    return s;
}

// The last packet completes the frame: samples, record, title, date, commands, progress marks
// and the redraw of the active view. With mnuStart unchecked the samples are collected but
// nothing is completed; without StartStop no progress is shown.
TEST(DsoDecoder, CompleteFrameByRunStateAndView) {
    using Shown = std::tuple<bool, std::string, bool, bool, std::string>;
    // mnuStart, StartStop, waveform view; waveform and spectrum redraws, panel texts
    const std::tuple<bool, bool, bool, int, int, std::string> cases[] = {
        {true, true, true, 1, 0, "Data start|Data end|"},
        {false, true, true, 0, 0, "Data start|"},
        {true, true, false, 0, 1, "Data start|Data end|"},
        {true, false, true, 1, 0, ""}};
    for (const auto &[start, progress, waveView, displays, spectra, texts] : cases) {
        Scope b;
        b.form.el.mnuStart.setChecked(start);
        b.form.el.StartStop.setChecked(progress);
        b.form.el.DSO_wave.setChecked(waveView);
        b.form.el.Save.setEnabled(false);
        b.form.el.mnuCopy.setEnabled(false);
        b.form.v.CurrentFileName = "old.dso";
        Settings s;
        s.zero = 100, s.position = 138;
        EXPECT_EQ(b.feed(frame(3, 3, s, ramp())), start ? O::Shown : O::None);
        EXPECT_EQ(std::tuple(b.displays, b.spectra, b.panelTexts()),
                  std::tuple(displays, spectra, texts));
        EXPECT_EQ(std::tuple(b.decoder.SampleIndex(), b.decoder.RawSamples()[255]),
                  std::tuple(start ? 0 : 256, 255));
        int n = 1; // one progress mark per data packet n = 2..17
        for (const auto &box : opsOf<common::BoxOp>(b.form.el.Picture2)) {
            if (box.fill != common::kProgress)
                continue;
            ++n;
            EXPECT_EQ(std::tuple(box.x1, box.x2, box.y1),
                      std::tuple(n * 150 + 120, n * 150 + 200, 800));
        }
        EXPECT_EQ(n, progress ? 17 : 1);
        const auto &w = b.form.wave;
        EXPECT_EQ(Shown(w.WaveValid, w.WaveTitle, b.form.el.Save.enabled(),
                        b.form.el.mnuCopy.enabled(), b.form.v.CurrentFileName),
                  start ? Shown(true, "Meter 7304 DSO sample ", true, true, "")
                        : Shown(false, "", false, false, "old.dso"));
        if (!start)
            continue;
        for (int i = 0; i <= 255; ++i)
            ASSERT_EQ(w.WaveData[i], std::min(i, 254) - 100) << i;
        EXPECT_EQ(std::tuple(w.DsoParam[3], w.DsoParam[7]), std::tuple(10, -28));
        EXPECT_EQ(b.form.el.Text1.text(), w.WaveTitle);
        EXPECT_EQ(w.WaveDate + " " + w.WaveTime, "2026-12-07 14:03");
        EXPECT_EQ(b.form.el.panel[2].text(), "工作模式: DSO");
    }
}

// Model 3 copies at time base 23 and reconstructs at 24, 25 and 26; above a model's top the
// waveform stays but is redrawn. The record is flat 12 above the zero level (trigger level 0);
// sample 0 is read only by the copy, point 256 written only by the reconstructions. A stored
// waveform's title carries its memory number.
TEST(DsoDecoder, TimeBaseChoosesCopyOrReconstructionAndTitles) {
    // model, work mode, time base, memory; points 0, 100, 256; title
    const std::tuple<int, int, std::uint8_t, std::uint8_t, std::array<double, 3>, std::string>
        cases[] = {{3, 3, 23, 5, {-128, 12, -1}, "Meter 7304 DSO sample "},
                   {3, 4, 24, 5, {12, 12, 12}, "Meter 7304 DSO database No.  5"},
                   {3, 5, 25, 12, {12, 12, 12}, "Meter 7304 DSO database No.  12"},
                   {3, 3, 26, 0, {12, 12, 12}, "Meter 7304 DSO sample "},
                   {0, 3, 26, 0, {-1, -1, -1}, "Meter 7302 DSO sample "}};
    for (const auto &[model, mode, timeBase, memory, points, title] : cases) {
        Scope b;
        b.form.wave.WaveData.fill(-1);
        Settings s;
        s.timeBase = timeBase, s.memory = memory;
        ASSERT_EQ(b.feed(frame(model, mode, s, flat(140, 0))), O::Shown) << int(timeBase);
        const auto &w = b.form.wave.WaveData;
        EXPECT_EQ((std::array{w[0], w[100], w[256]}), points) << int(timeBase);
        EXPECT_EQ(w[255], w[254]);
        EXPECT_EQ(std::tuple(b.displays, b.form.wave.WaveTitle), std::tuple(1, title));
    }
}

// "Data error!" (time base above 26, gain above 15) and an abandoned reconstruction leave the
// waveform, title and commands as they were and redraw nothing; gain 15 is accepted.
TEST(DsoDecoder, DataErrorAndAbandonedFramesChangeNothingShown) {
    // model, time base, gain, trigger byte, outcome
    const std::tuple<int, std::uint8_t, std::uint8_t, std::uint8_t, O> cases[] = {
        {5, 27, 0, 140, O::DataError},
        {5, 0, 16, 140, O::DataError},
        {5, 26, 15, 140, O::Shown},
        {3, 25, 8, 128 + 61, O::Abandoned}};
    for (const auto &[model, timeBase, gain, trigger, expected] : cases) {
        Scope b;
        b.form.wave.WaveData.fill(9);
        b.form.wave.WaveTitle = "before";
        b.form.el.Save.setEnabled(false);
        Settings s;
        s.timeBase = timeBase, s.gain = gain, s.trigger = trigger;
        EXPECT_EQ(b.feed(frame(model, 3, s, flat(140, 140))), expected);
        const bool shown = expected == O::Shown;
        EXPECT_EQ(b.form.wave.DsoParam[0], timeBase); // the record is taken in any case
        EXPECT_EQ(std::tuple(b.form.wave.WaveTitle == "before", b.form.wave.WaveData[0],
                             b.form.el.Save.enabled(), b.displays),
                  std::tuple(!shown, shown ? 12 : 9, shown, shown ? 1 : 0));
        EXPECT_EQ(b.panelTexts().ends_with("Data error!|"), expected == O::DataError);
    }
}

TEST(DsoDecoder, DuplicatedPacketShiftsLaterSamplesAndOverflowsOnto256) {
    Scope b;
    ASSERT_TRUE(b.fp.port.open());
    auto packets = frame(3, 3, Settings{}, ramp());
    packets.push_back(packets[0]); // the next frame's header completes packet 17
    // Each batch holds the tail of one packet and the head of the next, as the meter sends them;
    // a batch without a sync byte hands the pending packet (data packet 5) on again.
    b.fp.port.deliver(bytesOf({packets.begin(), packets.begin() + 5}));
    b.fp.port.deliver(std::vector<std::uint8_t>(20, 0x11));
    b.fp.port.deliver(bytesOf({packets.begin() + 5, packets.end()}));
    EXPECT_EQ(b.decoder.lastOutcome(), O::None); // the header came last
    EXPECT_EQ(b.displays, 1);
    const auto &w = b.form.wave.WaveData;
    // Packet 5 decoded twice (samples 48.. again), the later ones moved up by 16.
    EXPECT_EQ((std::array{w[63], w[64], w[80], w[254]}),
              (std::array{63 - 128., 48 - 128., 64 - 128., 238 - 128.}));
    EXPECT_EQ(b.decoder.RawSamples()[256], 255); // the last 16 bytes all landed on index 256
}

TEST(DsoDecoder, HeaderInTheMiddleRestartsTheSampleCount) {
    Scope b;
    const auto packets = frame(3, 3, Settings{}, ramp());
    b.feed({packets.begin(), packets.begin() + 6});
    EXPECT_EQ(b.decoder.SampleIndex(), 80);
    b.feed({packets[0]});
    EXPECT_EQ(std::tuple(b.decoder.SampleIndex(), b.decoder.PacketNumber()), std::tuple(0, 1));
}

// Only the eleventh DMM packet in a row asks, once, whether to switch; a DSO packet restarts
// the count.
TEST(DsoDecoder, EleventhDmmPacketInARowAsksOnce) {
    for (const auto answer : {platform::Answer::Ok, platform::Answer::Cancel}) {
        Scope b;
        b.fp.messages.answers.push_back(answer);
        const auto send = [&b](int mode, int n) { b.feed(std::vector(n, packet(3, mode, 0))); };
        send(0, 10), send(3, 1), send(0, 10);
        EXPECT_TRUE(b.fp.messages.shown.empty());
        EXPECT_EQ(b.form.v.ModeMismatchCount, 10);
        send(0, 1);
        ASSERT_EQ(b.fp.messages.shown.size(), 1u);
        const auto &m = b.fp.messages.shown[0];
        EXPECT_EQ(m.text, "仪表当前工作在DMM模式，要将程序切换到DMM模式吗?");
        EXPECT_EQ(m.title, "QVLK: 请注意工作模式");
        EXPECT_EQ(std::tuple(m.buttons, m.defaultButton, m.warning),
                  std::tuple(platform::Buttons::OkCancel, platform::Answer::Cancel, true));
        EXPECT_EQ(b.dmmModes, answer == platform::Answer::Ok ? 1 : 0);
        send(2, 5), send(3, 1);
        EXPECT_EQ(b.fp.messages.shown.size(), 1u);
        EXPECT_EQ(b.form.v.ModeMismatchCount, 0);
    }
}

} // namespace
} // namespace qv::dso
