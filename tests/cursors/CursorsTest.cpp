#include "../dso/Scope.h"
#include "cursors/ScreenCursors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::cursors {
namespace {

using common::LineOp;
using dso::test::Line;

Line ends(const LineOp &l) {
    return {l.x1, l.y1, l.x2, l.y2};
}

// A form with a spectrum view, the screen cursors, and readouts over a state of our own.
struct Fixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables scales;
    spectrum::WindowTable windows;
    spectrum::SpectrumView view{form, scales, windows};
    ScreenCursors cursors{form, scales, view};
    CursorState state;
    CursorReadouts readouts{form, scales, view, state};

    void start(bool waveformView, int mode) {
        (waveformView ? form.el.DSO_wave : form.el.DSO_FFT).setChecked(true);
        form.v.CursorMode = static_cast<std::int16_t>(mode);
        form.el.Picture1.clear();
        cursors.CursorInit();
    }
    [[nodiscard]] std::vector<LineOp> xorLines() const {
        auto lines = dso::test::opsOf<LineOp>(form.el.Picture1);
        std::erase_if(lines, [](const LineOp &l) { return l.mode != common::DrawMode::Xor; });
        return lines;
    }
};

TEST(ScreenCursors, PlacedOnlyInsideTheGraticuleMovingAndClosingEraseTheLinesDrawn) {
    // clang-format off
    const struct { int mode; float x, y; bool placed; } cases[] = {
        {1, 150, 2500, true}, {1, 5270, 2500, true}, {1, 149, 2500, false}, {1, 5271, 2500, false},
        {2, 2000, 500, true}, {2, 2000, 4500, true}, {2, 2000, 499, false}, {2, 2000, 4501, false},
        {0, 2000, 2500, false}, {1, NAN, 2500, false}, {2, 2000, INFINITY, false}};
    // clang-format on
    for (const auto &c : cases) {
        Fixture f;
        f.start(true, c.mode);
        EXPECT_EQ(f.form.el.Picture1.drawMode(), common::DrawMode::Xor) << "as left by the start";
        f.cursors.Picture1_MouseDown(1, 0, c.x, c.y);
        const auto &st = f.cursors.state();
        EXPECT_EQ(st.Cursor1Shown == 1, c.placed) << c.x << "," << c.y;
        EXPECT_TRUE(!c.placed || (c.mode == 1 ? st.TimeCursor1X : st.LevelCursor1Y) ==
                                     std::lround(c.mode == 1 ? c.x : c.y));
    }

    // A same-button click moves its line, the middle one none; closing erases what is still drawn.
    const std::tuple<bool, int, int> moves[] = {
        {true, 1, 1}, {false, 1, 2}, {true, 2, 2}, {false, 2, 1}};
    for (const auto &[waveView, mode, button] : moves)
        for (bool redraw : {false, true}) {
            Fixture f;
            f.start(waveView, mode);
            f.cursors.Picture1_MouseDown(button, 0, 1000.4f, 1000.6f);
            f.cursors.Picture1_MouseDown(button, 0, 3000, 3000);
            f.cursors.Picture1_MouseDown(3 - button, 0, 2000, 2000);
            const auto drawn = f.form.el.Picture1.ops().size();
            f.cursors.Picture1_MouseDown(4, 0, 2500, 2500); // the middle button: the readout only
            EXPECT_GT(f.form.el.Picture1.ops().size(), drawn);
            auto l = f.xorLines();
            ASSERT_EQ(l.size(), 4u) << "draw, erase, draw, and the other cursor";
            EXPECT_EQ(ends(l[0]), ends(l[1])) << "the first line and its erase must coincide";
            EXPECT_EQ(ends(l[2]),
                      (mode == 1 ? Line{3000, 500, 3000, 4500} : Line{150, 3000, 5270, 3000}));
            EXPECT_EQ(l[2].color, waveView ? common::kCyan : common::kYellow);
            if (redraw)
                f.start(waveView, mode);
            const auto before = f.xorLines().size();
            mode == 1 ? f.cursors.CloseHCursor() : f.cursors.CloseVCursor();
            l = f.xorLines();
            ASSERT_EQ(l.size() - before, redraw ? 0u : 2u) << mode << redraw;
            EXPECT_TRUE(redraw ||
                        (std::set{ends(l[4]), ends(l[5])} == std::set{ends(l[2]), ends(l[3])}))
                << "each erase lies exactly over one of the two cursor lines";
            EXPECT_EQ(f.cursors.state().Cursor1Shown + f.cursors.state().Cursor2Shown, 0);
        }
}

using R = CursorReadouts;
constexpr auto T = &R::t_measurement, V = &R::V_measurement, F = &R::f_measurement,
               FV = &R::FV_measurement;

// Each readout blanks the strip white, prints its texts in black and keeps them for printing.
TEST(CursorReadouts, TextsInTheStripAndForPrinting) {
    const struct {
        void (R::*fn)();
        int model, gain, time, scale, s1, p1, s2, p2;
        const char *a, *b;
    } cases[] = {
        {T, 0, 7, 13, 0, 1, 1000, 1, 1400, "dt=1.0ms", "1/dt=1kHz"},
        {T, 0, 7, 13, 0, 1, 1000, 1, 1000, "dt=0.0ms", "1/dt= ??"}, // same x
        {T, 0, 7, 4, 0, 1, 5270, 1, 150, "dt=12.8s", "1/dt=78.125mHz"},
        {T, 3, 7, 26, 0, 1, 1000, 1, 1400, "dt=50.0ns", "1/dt=20MHz"}, // 50 ns/div
        {T, 0, 7, 23, 0, 1, 1000, 1, 1400, "dt=0.5us", "1/dt=2MHz"},
        {T, 0, 7, 25, 0, 1, 1000, 1, 1400, "dt=0.0us", "1/dt= ??"}, // empty time base
        {T, 0, 7, 13, 0, 0, 0, 1, 950, "V=5V", ""},                 // sample 40 at 2 V/div
        {T, 0, 7, 13, 0, 1, 5270, 0, 0, "V=1.4V", ""},              // sample 256
        {T, 0, 7, 13, 0, 1, 940, 0, 0, "V=5V", ""},                 // 39.5: halves go to even
        {T, 0, 7, 13, 0, 1, 960, 0, 0, "V=5V", ""},                 // 40.5
        {T, 0, 7, 13, 0, 0, 4000, 0, 4000, "V=-2.5V", ""},          // no cursor: sample 0
        {V, 4, 11, 13, 0, 1, 1000, 1, 1200, "dV=25.0mV", ""},       // 50 mV/div
        {V, 0, 7, 13, 0, 1, 1700, 0, 0, "V=4.0V", ""},
        {V, 0, 7, 13, 0, 0, 0, 1, 2900, "V=-2.0V", ""},
        {F, 0, 7, 13, 0, 1, 530, 0, 0, "f=742.188Hz ", "F=1.0V"}, // line 9.5 reads 10 (1 V)
        {F, 0, 7, 13, 0, 1, 570, 0, 0, "f=820.313Hz ", "F=1.0V"}, // 10.5 as well
        {F, 0, 7, 13, 1, 0, 0, 1, 950, "f=1562.5Hz ", "F=-12.35dB"},
        {F, 0, 7, 13, 0, 1, 1000, 1, 1400, "df=781.25Hz ", ""},
        {F, 0, 7, 25, 0, 1, 550, 0, 0, "f=??", "F=1.0V"},
        {F, 0, 7, 25, 0, 1, 1000, 1, 1400, "df=??", ""},
        {F, 0, 7, 13, 0, 0, 0, 0, 0, "f=0.0Hz ", "F=0.4V"}, // no cursor: line 0
        {FV, 0, 7, 13, 1, 1, 1700, 0, 0, "F=20.0dB", ""},
        {FV, 0, 7, 13, 1, 0, 0, 1, 3300, "F=-20.0dB", ""},
        {FV, 0, 7, 13, 1, 1, 1000, 1, 1400, "dF=10.0dB", ""},
        {FV, 0, 7, 13, 0, 1, 3700, 0, 0, "F=0.25V", ""},
        {FV, 0, 7, 13, 0, 1, 1000, 1, 1400, "dF=0.13V", ""},
    };
    for (const auto &c : cases) {
        Fixture f;
        f.form.v.MeterModelCode = static_cast<std::int16_t>(c.model);
        f.form.wave.DsoParam[2] = c.gain, f.form.wave.DsoParam[0] = c.time;
        f.form.v.SpectrumLogScale = c.scale;
        auto &wave = f.form.wave.WaveData;
        wave[0] = -12.5, wave[40] = 25, wave[256] = 7;
        f.view.Spectrum[0] = 2, f.view.Spectrum[10] = 5, f.view.Spectrum[20] = -12.345;
        f.view.SpectrumFreqPerDiv = c.time == 25 ? 0 : 781.25; // 25: the time base is empty
        f.view.SpectrumFreqUnit = "Hz ", f.view.SpectrumAmplPerDiv = 0.125;
        auto &st = f.state; // time cursors at x = p, level cursors at y = p
        st.Cursor1Shown = std::int16_t(c.s1), st.Cursor2Shown = std::int16_t(c.s2);
        st.TimeCursor1X = st.LevelCursor1Y = std::int16_t(c.p1);
        st.TimeCursor2X = st.LevelCursor2Y = std::int16_t(c.p2);
        f.form.el.Picture1.setForeColor(common::kRed);
        auto &r = f.readouts;
        (r.*c.fn)();
        const auto &ops = f.form.el.Picture1.ops();
        const auto first = std::find_if(ops.begin(), ops.end(), [](const auto &op) {
            return std::holds_alternative<common::BoxOp>(op) ||
                   std::holds_alternative<common::TextOp>(op);
        });
        const auto &box = std::get<common::BoxOp>(*first); // the strip is blanked before any text
        EXPECT_EQ(std::tuple(box.x1, box.y1, box.x2, box.y2, box.filled, box.fill, box.mode),
                  std::tuple(2000, 4750, 5400, 4950, true, common::kWhite, common::DrawMode::Copy));
        EXPECT_EQ(std::get<common::TextOp>(ops.back()).color, common::kBlack) << c.a;
        EXPECT_EQ(dso::test::textsAt(f.form.el.Picture1, {{2000, 4750}, {3500, 4750}}),
                  std::string(c.a) + "|" + c.b); // the last texts printed in the readout strip
        std::string kept;                        // the texts shown, in order, and no others
        for (const auto *s : {&r.DeltaTimeText, &r.InverseDeltaTimeText, &r.TimeCursorLevelText,
                              &r.LevelCursorText, &r.FrequencyCursorText, &r.SpectrumLevelText})
            kept += *s;
        EXPECT_EQ(kept, std::string(c.a) + c.b);
    }
}

} // namespace
} // namespace qv::cursors
