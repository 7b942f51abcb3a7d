#include "Scope.h"
#include "common/NumberFormat.h"
#include "link/MeterSimulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace qv::dso {
namespace {

using namespace test;
using common::kBlack, common::kRed;
using O = FrameOutcome;
using Lines = std::vector<Line>;
const double nan = std::nan("");

// Every scale table entry: two gain families, the common time bases, each model's fastest ones and
// top index; nothing past gain 14, time base 26, model 8, frequency unit 3.
TEST(ScaleTables, EveryEntryAsTheMetersScalesAreListed) {
    const ScaleTables t;
    const auto row = [](int n, const auto &entry) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += entry(i) + " ";
        return out;
    };
    const std::string a = "400 200 100 40 20 10 4 2 1 0.4 0.2 0.1 40 20 10 0 ",
                      b = "200 100 50 20 10 5 2 1 0.5 0.2 0.1 50 20 10 5 0 ",
                      common = "20 10 5 2 1 0.5 0.2 0.1 50 20 10 5 2 1 0.5 0.2 0.1 50 20 10 5 ";
    // gains 0..15, time bases 21..27, top index, gain units
    const std::tuple<std::string, std::string, int> models[] = {
        {a, "2.5 1.25 0.5 1 0 0 0 ", 23},   {a, "2 1 0.5 0.25 0 0 0 ", 24},
        {a, "2 1 0.5 0.25 0.1 0 0 ", 23},   {a, "2 0.8 0.4 0.2 0.1 50 0 ", 26},
        {b, "2 1 0.5 0.25 0.1 0 0 ", 25},   {b, "2 0.8 0.4 0.2 0.1 50 0 ", 26},
        {b, "2 0.8 0.4 0.2 0.1 50 0 ", 26}, {a, "2 1 0.5 0.2 0 0 0 ", 24},
        {b, "2 0.8 0.4 0.2 0.1 50 0 ", 26}};
    const std::string units[] = {"V V V V V V V V V V V V mV mV mV  ",
                                 "V V V V V V V V V V V mV mV mV mV  "};
    const auto zero = [](int) { return std::string("0"); };
    for (int m = 0; m <= 9; ++m) {
        const auto number = [](double v) { return common::shortestNumber(v); };
        const auto &[gains, fast, top] =
            m < 9 ? models[m] : std::tuple(row(16, zero), row(7, zero), 0);
        EXPECT_EQ(row(16, [&](int g) { return number(t.GainTable(g, m)); }), gains) << m;
        EXPECT_EQ(row(16, [&](int g) { return t.GainUnit(g, m); }),
                  m == 9 ? std::string(16, ' ') : units[gains == b])
            << m;
        EXPECT_EQ(row(28, [&](int i) { return number(t.TimeBaseTable(i, m)); }),
                  (m < 9 ? common : row(21, zero)) + fast)
            << m;
        EXPECT_EQ(t.TimeBaseTop(m), top) << m;
        if (m == 9)
            continue;
        // The demo's tour of time bases ends at the model's fastest.
        link::MeterSimulator sim({.mode = link::SimMode::Dso, .model = m, .timeBaseTour = 1});
        int fastest = 0;
        for (int frame = 0; frame < 4; ++frame, (void)sim.nextBytes(20 * 16))
            fastest = std::max(fastest, int(sim.nextPacket()[1]));
        EXPECT_EQ(fastest, top) << m;
    }
    EXPECT_EQ(row(28, [&](int i) { return t.TimeBaseUnit(i); }),
              "s s s s s s s s ms ms ms ms ms ms ms ms ms us us us us us us us us us ns  ");
    EXPECT_EQ(row(5, [&](int i) { return t.FreqUnit(i); }), "mHz Hz  kHz MHz  ");
}

const Bytes kRamp = [] {
    Bytes s;
    std::iota(s.begin(), s.end(), 0);
    return s;
}();

// The last packet completes the frame and redraws the active view. With mnuStart unchecked the
// samples are collected but nothing is completed; without StartStop no progress is shown.
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
        EXPECT_EQ(
            std::tuple(b.displays, b.spectra, textsAt(b.form.el.Picture2), b.decoder.SampleIndex()),
            std::tuple(displays, spectra, texts, start ? 0 : 256));
        using Mark = std::array<double, 4>; // one progress mark per data packet n = 2..17
        std::vector<Mark> marks, blanked;   // "Data start" blanked before "Data end"
        for (const auto &box : opsOf<common::BoxOp>(b.form.el.Picture2))
            (box.fill == common::kProgress ? marks : blanked)
                .push_back({box.x1, box.y1, box.x2, box.y2});
        EXPECT_EQ(marks.size(), progress ? 16u : 0u);
        EXPECT_EQ(blanked, std::vector<Mark>(start && progress, Mark{400, 300, 3255, 700}));
        for (const auto &text : opsOf<common::TextOp>(b.form.el.Picture2))
            EXPECT_EQ(std::pair(text.x, text.sizePt), std::pair(400.0, 12.0)) << text.text;
        EXPECT_TRUE(!progress || (marks[0] == Mark{420, 800, 500, 900} &&
                                  marks[15] == Mark{2670, 800, 2750, 900}));
        const auto &w = b.form.wave;
        const std::string title = start ? "Meter 7304 DSO sample " : "";
        EXPECT_EQ(std::tuple(w.WaveValid, w.WaveTitle, b.form.el.Text1.text(),
                             b.form.el.panel[2].text(), b.form.el.Save.enabled(),
                             b.form.v.CurrentFileName),
                  std::tuple(start, title, title, "工作模式: DSO", start, start ? "" : "old.dso"));
        if (!start)
            continue;
        EXPECT_EQ(std::tuple(w.DsoParam[3], w.DsoParam[7], w.WaveDate + " " + w.WaveTime),
                  std::tuple(10, -28, "2026-12-07 14:03"));
    }
}

// Model 3 copies at time base 23 and reconstructs at 24, 25 and 26 a record flat 12 above the zero
// level but sample 0 (model 4 at its top 25 five-fold, every fifth entry 129/128 high); above a
// model's top, or with no crossing (slopes 1 and 3 rise, others fall), the waveform stays but is
// redrawn. A stored waveform's title carries its memory number. "Data error!" (time base above
// 26, gain above 15) and an abandoned frame keep all and redraw nothing.
TEST(DsoDecoder, TimeBaseChoosesCopyOrReconstructionTitlesAndDataErrors) {
    using Points = std::array<double, 3>;
    const Points kept{-1, -1, -1}, flat12{12, 12, 12};
    // model, mode, time base, gain, trigger, memory, slope; outcome, points 0, 100, 256, title
    const std::tuple<int, int, int, int, int, int, int, O, Points, std::string> cases[] = {
        {3, 3, 23, 8, 0, 5, 1, O::Shown, {-128, 12, -1}, "Meter 7304 DSO sample "},
        {3, 4, 24, 8, 0, 5, 1, O::Shown, flat12, "Meter 7304 DSO database No.  5"},
        {3, 5, 25, 8, 0, 12, 1, O::Shown, flat12, "Meter 7304 DSO database No.  12"},
        {3, 3, 25, 8, 0, 0, 0, O::Shown, kept, "Meter 7304 DSO sample "},
        {3, 3, 26, 8, 0, 0, 3, O::Shown, flat12, "Meter 7304 DSO sample "},
        {0, 3, 26, 8, 0, 0, 1, O::Shown, kept, "Meter 7302 DSO sample "},
        {4, 3, 25, 8, 0, 0, 1, O::Shown, {12, 12, 12 * 129 / 128.}, "Meter 7303A DSO sample "},
        {8, 3, 26, 8, 0, 0, 1, O::Shown, flat12, "Meter ZORA900X DSO sample "},
        {5, 3, 27, 0, 12, 0, 1, O::DataError, kept, "before"},
        {5, 3, 0, 16, 12, 0, 1, O::DataError, kept, "before"},
        {5, 3, 26, 15, 12, 0, 1, O::Shown, flat12, "Meter 7304A DSO sample "},
        {3, 3, 25, 8, 61, 0, 1, O::Abandoned, kept, "before"}};
    for (const auto &[model, mode, timeBase, gain, trigger, memory, slope, outcome, points, title] :
         cases) {
        Scope b;
        b.form.wave.WaveData.fill(-1), b.form.wave.WaveTitle = "before";
        b.form.el.Save.setEnabled(false);
        Bytes flat; // 12 above the zero level, but sample 0
        flat.fill(140), flat[0] = 0;
        link::DsoSignal s{.model = model, .timeBase = timeBase, .gain = gain};
        s.triggerPos = trigger, s.memoryNumber = memory, s.slope = slope;
        EXPECT_EQ(b.feed(frame(s, mode, flat)), outcome) << timeBase;
        const auto &w = b.form.wave;
        const bool shown = outcome == O::Shown;
        EXPECT_EQ((std::array{w.WaveData[0], w.WaveData[100], w.WaveData[256]}), points);
        EXPECT_EQ(std::tuple(w.WaveData[255], w.DsoParam[0], w.WaveTitle, b.form.el.Save.enabled(),
                             b.displays),
                  std::tuple(w.WaveData[254], timeBase, title, shown, shown ? 1 : 0));
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
    EXPECT_EQ(std::pair(b.decoder.lastOutcome(), b.displays), std::pair(O::None, 1)); // header last
    const auto &w = b.form.wave.WaveData;
    // Packet 5 decoded twice (samples 48.. again), the later ones moved up by 16.
    EXPECT_EQ((std::array{w[63], w[64], w[80], w[254]}),
              (std::array{63 - 128., 48 - 128., 64 - 128., 238 - 128.}));
    EXPECT_EQ(b.decoder.RawSamples()[256], 255); // the last 16 bytes all landed on index 256
}

// Data packets count only after a header seen in DSO mode. A frame that lost or repeated a packet,
// or had a DMM packet inside, is still completed and shown, but is not whole.
TEST(DsoDecoder, OnlyAFrameWithItsHeaderIsCompletedAndOnlyAnIntactOneIsWhole) {
    const auto f = frame({.model = 3, .timeBase = 10, .gain = 8, .zeroLevel = 100}, 3, kRamp);
    Packet dmm{0xFF, ' ', '1', '.', '0', '0', '0', 'V'};
    dmm[18] = 0, dmm[19] = 1;
    Packet stray = f[9];
    stray[19] = 18;
    // Packets of the frame by number (1 the header, 0 the DMM packet, 18 a stray one).
    const auto packets = [&](std::initializer_list<std::pair<int, int>> runs) {
        std::vector<Packet> out;
        for (const auto &[from, to] : runs)
            for (int n = from; n <= to; ++n)
                out.push_back(n == 0 ? dmm : n == 18 ? stray : f[static_cast<std::size_t>(n - 1)]);
        return out;
    };
    // what arrives before the switch into DSO mode (none: no switch), after it; frames
    // completed, whether the last one was whole, the zero level shown
    const std::tuple<const char *, std::optional<std::vector<Packet>>, std::vector<Packet>, int,
                     bool, double>
        cases[] = {
            {"a whole frame", {}, f, 1, true, -28},
            {"the tail of a frame at start", {}, packets({{9, 17}}), 0, false, 0},
            {"a frame cut by the switch", packets({{1, 8}}), packets({{9, 17}}), 0, false, 0},
            {"then the next frame", packets({{1, 8}}), packets({{9, 17}, {1, 17}}), 1, true, -28},
            {"a lost packet", {}, packets({{1, 9}, {11, 17}}), 1, false, -28},
            {"a packet twice", {}, packets({{1, 9}, {9, 17}}), 1, false, -28},
            {"a DMM packet inside", {}, packets({{1, 9}, {0, 0}, {10, 17}}), 1, false, -28},
            {"a stray packet inside", {}, packets({{1, 9}, {18, 18}, {10, 17}}), 1, false, -28},
        };
    for (const auto &[what, before, after, completed, whole, zero] : cases) {
        Scope b;
        if (before) {
            b.feed(*before);
            b.form.el.DMMmode.setChecked(true);
            b.form.el.DSOmode.setChecked(true);
        }
        b.feed(after);
        EXPECT_EQ(std::tuple(b.decoder.framesCompleted(), b.displays, b.form.wave.WaveValid,
                             b.decoder.lastFrameWhole(), b.form.wave.DsoParam[7]),
                  std::tuple(completed, completed, completed > 0, whole, zero))
            << what;
    }
    // The eleventh DMM packet in a row asks whether to switch to DMM mode (not system-modal).
    Scope b;
    int dmmMode = 0;
    b.form.call.DMMmode = [&dmmMode] { ++dmmMode; };
    b.fp.messages.answers.push_back(platform::Answer::Ok);
    b.feed(std::vector<Packet>(10, dmm));
    EXPECT_TRUE(b.fp.messages.shown.empty());
    b.feed({dmm});
    ASSERT_EQ(b.fp.messages.shown.size(), 1u);
    EXPECT_EQ(std::tuple(b.fp.messages.shown[0].text, b.fp.messages.shown[0].systemModal, dmmMode),
              std::tuple("仪表当前工作在DMM模式，要将程序切换到DMM模式吗?", false, 1));
}

std::string measurementRow(const common::DrawingTarget &t) {
    return textsAt(t, {{100, 4550}, {1600, 4550}, {3100, 4550}, {4600, 4550}, {100, 4750}});
}

double square(int i) {
    return (i / 20) % 2 ? 10 : -10;
}

// Model 3: gain 8 is 1 V/div (0.1 V per unit); time base 10 is 10 ms/div, 0 is 20 s/div, 26 is
// 50 ns/div. Model 4: gain 11 is 50 mV/div, measured in volts. Point 256 is never measured.
TEST(Measurements, ReadoutsOnTheScopeScreen) {
    const struct {
        double (*wave)(int);
        std::string texts; // p-p, avg, rms, dB, frequency
        int model = 3;
        double gain = 8, timeBase = 10, level = 0;
    } cases[] = {
        // clang-format off
        {[](int) { return 0.; }, " 0 Vp-p| 0 Vavg| 0 Vrms|?? dB|?? Hz"},
        {square, " 2 Vp-p|-0.06 Vavg| 1 Vrms| 2.21 dB| 50 Hz "}, // rising
        {square, " 2 Vp-p|-0.06 Vavg| 1 Vrms| 2.21 dB|?? Hz", 3, 8, 10, 9}, // band 7..11 unmet
        // Starting above the band counts falling edges: only one, at 51.
        {[](int i) { return i == 0 ? 2. : i < 50 || i > 99 ? 10 : -10; },
         " 2 Vp-p| 0.61 Vavg| 1 Vrms| 2.21 dB|?? Hz"},
        // Two rising edges, 80 points apart.
        {[](int i) { return (i / 20) % 4 == 1 && i < 160 ? 10. : -10.; },
         " 2 Vp-p|-0.69 Vavg| 1 Vrms| 2.21 dB| 25 Hz "},
        {[](int i) { return (i % 3 - 1) * 2.; }, " 0.4 Vp-p| 0 Vavg| 0.16 Vrms|-13.7 dB|?? Hz"},
        {[](int) { return 155.; }, " 0 mVp-p| 775 mVavg| 775 mVrms| 0 dB|?? Hz", 4, 11},
        {square, " 2 Vp-p|-0.06 Vavg| 1 Vrms| 2.21 dB| 25 mHz", 3, 8, 0},
        {square, " 2 Vp-p|-0.06 Vavg| 1 Vrms| 2.21 dB| 10 MHz", 3, 8, 26},
        {square, " 0 p-p| 0 avg| 0 rms|?? dB|?? Hz", 9}, // a model without scales
        {[](int i) { return i ? 0 : 25.; }, " 2.5 Vp-p| 0.01 Vavg| 0.16 Vrms|-13.7 dB|?? Hz"},
        {[](int i) { return i == 7 ? 1e300 : nan; }, "?? Vp-p|?? Vavg|?? Vrms|?? dB|?? Hz"},
        {[](int i) { return i % 2 ? -1e308 : 1e308; }, "?? Vp-p| 0 Vavg|?? Vrms|?? dB|?? Hz"},
        // Rising from 0: the first edge counts at once (2), then 41, 81 ... 241, each after a
        // midpoint on the lower band edge; the midpoints meet both edges exactly.
        {[](int i) { return i == 0 ? 0. : (i / 20) % 2 ? -2. : 2.; },
         " 0.4 Vp-p| 0.01 Vavg| 0.2 Vrms|-11.77 dB| 50.209 Hz "},
        // Starting on the upper edge counts falling edges: the same, mirrored.
        {[](int i) { return i == 0 ? 2. : (i / 20) % 2 ? 2. : -2.; },
         " 0.4 Vp-p|-0.01 Vavg| 0.2 Vrms|-11.77 dB| 50.209 Hz "}};
    // clang-format on
    for (const auto &[wave, texts, model, gain, timeBase, level] : cases) {
        Scope s;
        for (int i = 0; i < 256; ++i)
            s.form.wave.WaveData[i] = wave(i);
        s.form.wave.WaveData[256] = 999;
        s.form.v.MeterModelCode = model;
        auto &p = s.form.wave.DsoParam;
        p[0] = timeBase, p[2] = gain, p[6] = level;
        s.measurements.Display_Measurement();
        EXPECT_EQ(measurementRow(s.form.el.Picture1), texts);
        s.form.wave.WaveData.fill(3); // the page shows the stored values, not a new measurement
        common::DrawingTarget page;
        s.measurements.Print_Measurement(page);
        EXPECT_EQ(measurementRow(page), texts);
    }
    // Black whatever colour was drawn with last.
    Scope s;
    s.form.el.Picture1.setForeColor(common::kGrid);
    s.measurements.Display_Measurement();
    for (const auto &text : opsOf<common::TextOp>(s.form.el.Picture1))
        EXPECT_EQ(text.color, common::kBlack) << text.text;
}

// Grid lines every 400 twips, columns centred in mode 0, else from the left edge; ticks every 80,
// 60 long, on the centre row and vertical axis. All grey, copy mode; pen 1 on screen, else 2.
TEST(WaveScreen, GraticuleInBothFormsOnScreenAndPaper) {
    const common::Rgb grey{192, 192, 192};
    for (const int mode : {0, 1, -3})
        for (const bool screen : {true, false}) {
            Scope s;
            common::DrawingTarget paper;
            common::DrawingTarget &t = screen ? s.form.el.Picture1 : paper;
            t.setPenWidth(5), t.setDrawMode(common::DrawMode::Xor), t.setForeColor(kRed);
            Display_Coordinate(s.form, t, mode);
            const int width = screen ? 1 : 2;
            const double axis = mode == 0 ? 2710 : 150;
            std::set<Line> expected, drawn;
            for (double v = 500; v <= 4500; v += 80) // row ticks, every fifth a row
                expected.insert({axis - 30, v, axis + 30, v});
            for (double v = 500; v <= 4500; v += 400)
                expected.insert({150, v, 5270, v});
            for (double v = mode == 0 ? 310 : 150; v <= 5110; v += 400)
                expected.insert({v, 500, v, 4500});
            for (double v = 150; v <= 5270; v += 80)
                expected.insert({v, 2470, v, 2530});
            for (const auto &l : opsOf<common::LineOp>(t)) {
                ASSERT_EQ(std::tuple(l.color, l.width, l.mode),
                          std::tuple(grey, width, common::DrawMode::Copy));
                drawn.insert({l.x1, l.y1, l.x2, l.y2});
            }
            EXPECT_EQ(drawn, expected);
            ASSERT_EQ(opsOf<common::BoxOp>(t).size(), 1u);
            const auto f = opsOf<common::BoxOp>(t)[0];
            EXPECT_EQ(std::tuple(f.x1, f.y1, f.x2, f.y2, f.color, f.filled, f.width),
                      std::tuple(150, 500, 5270, 4500, grey, false, width));
            EXPECT_EQ(s.cursorInits, screen ? 1 : 0) << "the clear erased the cursors";
            EXPECT_EQ(t.foreColor(), kRed) << "the foreground colour is kept";
        }
}

// The slope glyph is falling for slope 0 and rising otherwise.
TEST(ParameterReadouts, TextsSlopeGlyphAndRedMarkers) {
    // model, time base, gain, level, coupling, slope; level, time base, gain and coupling texts
    const std::tuple<int, double, double, double, double, double, std::string> cases[] = {
        {4, 10, 8, 3, 1, 0, " 0.15 V|t:  10 ms/div|Y:  0.5 V/div| DC"},
        {3, 5, 12, -10, 0, 1, "-40 mV|t:  0.5 s/div|Y:  40 mV/div|GND"},
        {3, 26, 0, 1, 3, -1, " 40 V|t:  50 ns/div|Y:  400 V/div| AC"},
        {0, 24, 14, 0, 2, 3, " 0 mV|t:  1 us/div|Y:  10 mV/div|"},    // coupling 2 prints nothing
        {2, 26, 14, 0, 1, 1, " 0 mV|t:  0 ns/div|Y:  10 mV/div| DC"}, // model 2 has no 27th
        {6, 20, 15, 5, -1, 1, " 0 |t:  5 us/div|Y:  0 /div|"},        // gain 15 has no entry
        {200, 3, 3, 5, 1, 1, " 0 |t:  0 s/div|Y:  0 /div| DC"},       // a model without scales
        {3, -3.5, 99, 5, 1.5, 1, " 0 |t:  0 /div|Y:  0 /div|"},
        {3, 20.5, 8.5, 10, 1, 1, " 1 V|t:  5 us/div|Y:  1 V/div| DC"}, // half rounds to even
        {3, nan, nan, nan, nan, 1, " NaN |t:  0 /div|Y:  0 /div|"},
        {5, 22, 11, 4, 0, 1, " 20 mV|t:  0.8 us/div|Y:  50 mV/div|GND"}}; // family B
    for (const auto &[model, timeBase, gain, level, coupling, slope, texts] : cases) {
        Scope s;
        s.form.v.MeterModelCode = model, s.form.v.MeterModelName = "QM520V";
        s.form.wave.WaveDate = "2026-12-07", s.form.wave.WaveTime = "14:03";
        auto &p = s.form.wave.DsoParam;
        p[0] = timeBase, p[2] = gain, p[6] = level, p[4] = coupling, p[5] = slope;
        common::DrawingTarget t;
        Display_DSO_Parameter(s.form, s.tables, t);
        EXPECT_EQ(textsAt(t, {{500, 230}, {1600, 230}, {3100, 230}, {4900, 230}}), texts);
        EXPECT_EQ(std::tuple(textsAt(t, {{150, 50}, {3600, 50}, {4600, 50}}), t.foreColor()),
                  std::tuple("Model: QM520V|2026-12-07|14:03", kBlack));
        const double a = slope == 0 ? 270 : 400, b = 670 - a;
        EXPECT_EQ(linesIn(t, kBlack),
                  (Lines{{150, a, 200, a}, {200, a, 200, b}, {200, b, 250, b}}));
    }

    // Each red marker is three lines: apex to one corner, to the other, back to the apex.
    // trigger and vertical position, level; marker (0 level, 1 zero, 2 trigger); apex, corners
    const std::tuple<double, double, double, int, std::array<double, 6>> markers[] = {
        {-10, 0, 0, 2, {2310, 500, 2250, 440, 2370, 440}},
        {0, -50, 0, 1, {150, 4500, 90, 4560, 90, 4440}},             // on the bottom edge
        {0, 0, 60, 0, {5270, 100, 5330, 160, 5330, 40}},             // off the graticule
        {0, 0, -1e300, 0, {5270, 32767, 5330, 32827, 5330, 32707}}}; // saturated
    for (const auto &[trigger, position, level, which, m] : markers) {
        Scope s;
        auto &p = s.form.wave.DsoParam;
        p[1] = trigger, p[3] = position, p[6] = level;
        common::DrawingTarget t;
        Display_DSO_Parameter(s.form, s.tables, t);
        const auto red = linesIn(t, kRed);
        ASSERT_EQ(red.size(), 9u);
        const Lines marker{
            {m[0], m[1], m[2], m[3]}, {m[2], m[3], m[4], m[5]}, {m[4], m[5], m[0], m[1]}};
        EXPECT_EQ(Lines(red.begin() + 3 * which, red.begin() + 3 * which + 3), marker) << level;
    }
}

// Points 0..250 only, from x 210 by 20, clamped to the frame; 40 twips a value or position unit.
TEST(WaveScreen, TraceGeometryReadoutsAndMeasurements) {
    // value, vertical position, slope of a ramp (units per point), y of point 0
    const std::tuple<double, double, double, double> cases[] = {
        {0, 0, 0, 2500},          {0, 10, 0, 2100}, {60, 0, 0, 500},   {-51, 0, 0, 4500},
        {1e300, -1e300, 0, 2500}, {nan, 0, 0, 500}, {0, 0, -0.1, 2500}};
    for (const auto &[value, position, slope, y] : cases) {
        Scope s;
        s.form.call.CursorInit = [&s] { // as the cursors do: XOR for their lines
            ++s.cursorInits, s.form.el.Picture1.setDrawMode(common::DrawMode::Xor);
        };
        s.form.wave.WaveTitle = "Wave of bench";
        s.form.v.MeterModelCode = 3, s.form.v.MeterModelName = "7304";
        s.form.wave.DsoParam[2] = 8, s.form.wave.DsoParam[3] = position;
        for (int i = 0; i <= 256; ++i)
            s.form.wave.WaveData[i] = i > 250 ? 40 : value + slope * i;
        DSO_display(s.form, s.tables, s.measurements);
        const auto trace = linesIn(s.form.el.Picture1, common::kBlue);
        ASSERT_EQ(trace.size(), 251u);
        for (const auto &l : opsOf<common::LineOp>(s.form.el.Picture1))
            ASSERT_EQ(l.mode, common::DrawMode::Copy);
        for (size_t i = 0; i < trace.size(); ++i) {
            const double from = i ? y - 40 * slope * (i - 1.) : y, to = y - 40 * slope * i;
            ASSERT_EQ(trace[i], (std::array{i ? 190. + 20 * i : 210, from, 210. + 20 * i, to}))
                << value << " " << i;
        }
        EXPECT_EQ(s.cursorInits, 2); // after the clear and at the end
        EXPECT_EQ(textsAt(s.form.el.Picture1, {{150, 50}}), "Model: 7304");
        EXPECT_NE(textsAt(s.form.el.Picture1, {{100, 4550}}), ""); // the measurements
        EXPECT_EQ(s.form.el.Text1.text(), "Wave of bench");
    }
}

} // namespace
} // namespace qv::dso
