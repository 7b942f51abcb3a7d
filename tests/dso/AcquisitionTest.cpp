#include "Scope.h"

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

namespace qv::dso {
namespace {

using namespace test;
using O = FrameOutcome;
using Samples = Reconstruction::Samples;
constexpr auto W = Rebuild::Written, A = Rebuild::Abandoned;

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
    // sinc 0/1/3/4, trigger position, outcome
    // clang-format off
    const std::tuple<int, double, Rebuild> cases[] = {
        {0, 0, W},   {1, 60, A},  {1, 59, W}, {1, -128, W}, {3, -85, A}, {3, -84, W},
        {3, 58, A},  {3, 57, W},  {4, -76, A}, {4, -75, W}, {4, 56, W},  {4, 57, A}};
    // clang-format on
    for (const auto &[proc, trigger, expected] : cases) {
        Reconstruction r;
        common::Waveform w = record(trigger, 1, 0, 128, 5);
        Rebuild got = W;
        if (proc == 0)
            r.sinc0(raw, w);
        else
            got = proc == 1 ? r.sinc1(raw, w) : proc == 3 ? r.sinc3(raw, w) : r.sinc4(raw, w);
        EXPECT_EQ(got, expected) << "sinc" << proc << " p=" << trigger;
        for (int i = 0; i <= 256; ++i)
            ASSERT_TRUE(i == 255 || w.WaveData[i] == (got == W ? 0 : 5)) << proc << " " << trigger;
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
        EXPECT_TRUE(k == 128 || w.WaveData[2 * k + 1] == (entry(k) + entry(k + 1)) / 2) << k;
    }
}

// A step from -10 to +20 between samples 125 and 126 (point 64 of the doubled record, 63 the
// value between, 640 / 128 = 5): at level 6 the crossing is found two points late, the record
// moves left by two and its last point comes from the last interleaved sample, 97 + 62 + 2.
TEST(Reconstruction, Sinc1StepLandsOnTheTriggerIndexWithTheLastSampleAtTheEnd) {
    Reconstruction r;
    Samples raw;
    for (int i = 0; i < 257; ++i)
        raw[i] = 128 + (i <= 125 ? -10 : 20);
    common::Waveform w = record(0, 1, 6, 128, 7);
    ASSERT_EQ(r.sinc1(raw, w), W);
    EXPECT_EQ(std::vector<double>(w.WaveData.begin() + 122, w.WaveData.begin() + 125),
              (std::vector<double>{5, 12.5, 20}));
    EXPECT_EQ(std::vector<double>(w.WaveData.begin() + 254, w.WaveData.end()),
              (std::vector<double>{20, 20, 20}));
}

// The search starts at f - window; the record moves so that the crossing lands on f, keeping its
// first entries when it moves right. A falling slope already below takes the window start; no
// crossing keeps the previous waveform.
TEST(Reconstruction, RetrigMovesTheCrossingOntoTheTriggerIndex) {
    const int f = 62; // trigger position 0
    // slope, first entry above the level, window, shift (positive: left), outcome
    // clang-format off
    const std::tuple<int, int, std::int16_t, int, Rebuild> cases[] = {
        {1, f + 2, 3, 2, W}, {1, f - 3, 3, -3, W}, {0, 513, 5, -5, W},
        {1, 513, 6, 0, Rebuild::Kept}};
    // clang-format on
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

const Bytes kRamp = [] {
    Bytes s;
    std::iota(s.begin(), s.end(), 0);
    return s;
}();

// The last packet completes the frame: samples, record, title, date, commands, progress marks
// and the redraw of the active view. With mnuStart unchecked the samples are collected but
// nothing is completed; without StartStop no progress is shown.
TEST(DsoDecoder, CompleteFrameByRunStateAndView) {
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
        b.form.el.Save.setEnabled(false), b.form.v.CurrentFileName = "old.dso";
        const link::DsoSignal s{
            .model = 3, .timeBase = 10, .gain = 8, .verticalPos = 10, .zeroLevel = 100};
        EXPECT_EQ(b.feed(frame(s, 3, kRamp)), start ? O::Shown : O::None);
        EXPECT_EQ(std::tuple(b.displays, b.spectra, textsAt(b.form.el.Picture2)),
                  std::tuple(displays, spectra, texts));
        EXPECT_EQ(b.decoder.SampleIndex(), start ? 0 : 256);
        std::vector<double> marks; // one progress mark per data packet n = 2..17
        for (const auto &box : opsOf<common::BoxOp>(b.form.el.Picture2))
            if (box.fill == common::kProgress)
                marks.push_back(box.x1);
        EXPECT_EQ(marks.size(), progress ? 16u : 0u);
        EXPECT_TRUE(!progress || (marks[0] == 420 && marks[15] == 2670));
        const auto &w = b.form.wave;
        const std::string title = start ? "Meter 7304 DSO sample " : "";
        EXPECT_EQ(std::tuple(w.WaveValid, w.WaveTitle, b.form.el.Text1.text(),
                             b.form.el.Save.enabled(), b.form.v.CurrentFileName),
                  std::tuple(start, title, title, start, start ? "" : "old.dso"));
        if (!start)
            continue;
        EXPECT_EQ(std::tuple(w.WaveData[0], w.WaveData[254], w.WaveData[255]),
                  std::tuple(-100, 154, 154));
        EXPECT_EQ(std::tuple(w.DsoParam[3], w.DsoParam[7]), std::tuple(10, -28));
        EXPECT_EQ(w.WaveDate + " " + w.WaveTime, "2026-12-07 14:03");
    }
}

// Model 3 copies at time base 23 and reconstructs at 24, 25 and 26; above a model's top the
// waveform stays but is redrawn. The record is flat 12 above the zero level (trigger level 0);
// sample 0 is read only by the copy, point 256 written only by the reconstructions. A stored
// waveform's title carries its memory number. "Data error!" (time base above 26, gain above 15)
// and an abandoned reconstruction leave the waveform, title and commands as they were and redraw
// nothing; gain 15 is accepted.
TEST(DsoDecoder, TimeBaseChoosesCopyOrReconstructionTitlesAndDataErrors) {
    using Points = std::array<double, 3>;
    const Points kept{-1, -1, -1}, flat12{12, 12, 12};
    // model, work mode, time base, gain, trigger position, memory; outcome, points 0, 100, 256,
    // title
    // clang-format off
    const std::tuple<int, int, int, int, int, int, O, Points, std::string> cases[] = {
        {3, 3, 23, 8, 0, 5, O::Shown, {-128, 12, -1}, "Meter 7304 DSO sample "},
        {3, 4, 24, 8, 0, 5, O::Shown, flat12, "Meter 7304 DSO database No.  5"},
        {3, 5, 25, 8, 0, 12, O::Shown, flat12, "Meter 7304 DSO database No.  12"},
        {3, 3, 26, 8, 0, 0, O::Shown, flat12, "Meter 7304 DSO sample "},
        {0, 3, 26, 8, 0, 0, O::Shown, kept, "Meter 7302 DSO sample "},
        {5, 3, 27, 0, 12, 0, O::DataError, kept, "before"},
        {5, 3, 0, 16, 12, 0, O::DataError, kept, "before"},
        {5, 3, 26, 15, 12, 0, O::Shown, flat12, "Meter 7304A DSO sample "},
        {3, 3, 25, 8, 61, 0, O::Abandoned, kept, "before"}};
    // clang-format on
    for (const auto &[model, mode, timeBase, gain, trigger, memory, outcome, points, title] :
         cases) {
        Scope b;
        b.form.wave.WaveData.fill(-1), b.form.wave.WaveTitle = "before";
        b.form.el.Save.setEnabled(false);
        Bytes flat; // 12 above the zero level, but sample 0
        flat.fill(140), flat[0] = 0;
        link::DsoSignal s{.model = model, .timeBase = timeBase, .gain = gain};
        s.triggerPos = trigger, s.memoryNumber = memory;
        EXPECT_EQ(b.feed(frame(s, mode, flat)), outcome) << timeBase;
        const auto &w = b.form.wave;
        const bool shown = outcome == O::Shown;
        EXPECT_EQ((std::array{w.WaveData[0], w.WaveData[100], w.WaveData[256]}), points);
        EXPECT_EQ(std::tuple(w.WaveData[255], w.DsoParam[0]),
                  std::tuple(w.WaveData[254], timeBase));
        EXPECT_EQ(std::tuple(w.WaveTitle, b.form.el.Save.enabled(), b.displays),
                  std::tuple(title, shown, shown ? 1 : 0));
        EXPECT_EQ(textsAt(b.form.el.Picture2).ends_with("Data error!|"), outcome == O::DataError);
    }
}

TEST(DsoDecoder, DuplicatedPacketShiftsLaterSamplesAndOverflowsOnto256) {
    Scope b;
    ASSERT_TRUE(b.fp.port.open());
    auto packets = frame({.model = 3, .timeBase = 10, .gain = 8}, 3, kRamp);
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

} // namespace
} // namespace qv::dso
