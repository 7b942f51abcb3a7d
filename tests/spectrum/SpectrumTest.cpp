#include "../dso/Scope.h"
#include "spectrum/SpectrumView.h"

#include <gtest/gtest.h>

#include <complex>

namespace qv::spectrum {
namespace {

TEST(WindowTable, ValuesAtTheEndsAndInTheMiddleAndTheWindowedFftMagnitudes) {
    const WindowTable w;
    // clang-format off
    const struct { int type, column; double value; } cases[] = {
        {0, 0, 1.0}, {0, 256, 0.0}, {1, 0, 0.0}, {2, 0, 0.08}, {3, 0, 0.0}, {4, 0, -0.000421051},
        {5, 0, 0.0}, {5, 1, 2.0 / 255}, {5, 127, 254.0 / 255}, {7, 3, 0.0}, {-1, 3, 0.0},
        {1, 257, 0.0}, {6, 64, 0.0},
        // column 64: x = 128 * 3.1415926535 / 255
        {1, 64, 0.5030799732965}, {2, 64, 0.5428335754328}, {3, 64, 0.3430860444873},
        {4, 64, -0.0536959265160}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_NEAR(w.value(c.type, c.column), c.value, 1e-12) << c.type << ":" << c.column;
    for (int type = 0; type < WindowTable::kWindows; ++type)
        for (int i = 0; i <= 127; ++i)
            EXPECT_EQ(w.value(type, i), w.value(type, 255 - i)) << type << ":" << i;
    // Halvings while above 1: 1.5, then 0.75 from 3.
    EXPECT_EQ(std::tuple(Fft::FFTStages(256), Fft::FFTStages(1), Fft::FFTStages(3)),
              std::tuple(8, 0, 2));
    // The windowed magnitudes agree with a straightforward transform of an irregular wave.
    std::array<double, 257> wave{}, spectrum{};
    for (int i = 0; i < 256; ++i)
        wave[i] = i * 37 % 101 - 50.5; // -50.5 .. 49.5 in a scrambled order
    Fft().magnitudes(w, 1, wave, spectrum);
    for (int k = 0; k < 256; ++k) {
        std::complex<double> expected;
        for (int i = 0; i < 256; ++i)
            expected += w.value(1, i) * wave[i] * std::polar(1.0, -2 * M_PI * k * i / 256.0);
        EXPECT_NEAR(spectrum[k], std::abs(expected), 1e-6) << "bin " << k;
    }
}

// Rectangular window: a constant c gives c in bin 0 (linear); `cycles` of a sine 20 units high.
struct Fixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables scales;
    WindowTable windows;
    SpectrumView view{form, scales, windows};

    void show(int model, double gainIndex, double timeIndex, double constant, int logScale,
              int cycles = 0) {
        form.v.WindowType = 0, form.v.MeterModelCode = static_cast<std::int16_t>(model);
        form.wave.DsoParam[2] = gainIndex, form.wave.DsoParam[0] = timeIndex;
        form.wave.WaveData.fill(constant), form.wave.WaveData[256] = 0;
        for (int i = 0; cycles && i < 256; ++i)
            form.wave.WaveData[i] = 20 * std::sin(2 * 3.14159265358979 * cycles * i / 256);
        form.v.SpectrumLogScale = logScale;
        view.FFT_Display();
    }
    // Red segments one bin (40 twips) wide, or the zero marker's lines (x from 150 to 90).
    [[nodiscard]] std::vector<common::LineOp> lines(double dx) const {
        auto found = dso::test::opsOf<common::LineOp>(form.el.Picture1);
        std::erase_if(found, [dx](const common::LineOp &l) {
            return l.x2 - l.x1 != dx || (dx == 40 && l.color != common::kRed);
        });
        return found;
    }
    [[nodiscard]] std::string textAt(double x, double y = 230) const {
        return dso::test::textsAt(form.el.Picture1, {{x, y}});
    }
};

TEST(SpectrumView, ReadoutsTraceGainZeroMarkerWindowScaleAndViewItems) {
    // clang-format off
    const struct { int model, gain, time, scale; const char *ampl, *freq; double perDiv; } cases[] = {
        {0, 7, 7, 0, "F: 0.125V/div", "f: 7.813Hz /div", 7.8125},
        {0, 7, 13, 1, "F: 10 dB/div", "f: 781.25Hz /div", 781.25},
        {0, 7, 23, 0, "F: 0.125V/div", "f: 1.563MHz/div", 1.5625},
        {0, 13, 12, 0, "F: 1.25mV/div", "f: 390.625Hz /div", 390.625},
        {3, 7, 26, 1, "F: 10 dB/div", "f: 15.625MHz/div", 15.625},  // 50 ns/div
        {0, 7, 25, 0, "F: 0.125V/div", "f: ??", 0},                 // empty time base
        {0, 7, 0, 0, "F: 0.125V/div", "f: 39.063mHz/div", 39.0625}, // 20 s/div
    };
    // clang-format on
    for (const auto &c : cases) {
        Fixture f;
        std::size_t drawnAtReset = 0;
        f.form.call.CursorInit = [&] { drawnAtReset = f.form.el.Picture1.ops().size(); };
        // An unknown scale keeps the unit it had, not the scale.
        f.view.SpectrumFreqUnit = "kHz", f.view.SpectrumFreqPerDiv = 1;
        f.show(c.model, c.gain, c.time, 0, c.scale);
        EXPECT_TRUE(c.perDiv != 0 || f.view.SpectrumFreqUnit == "kHz") << c.freq;
        EXPECT_EQ(std::tuple(f.view.SpectrumAmplText, f.view.SpectrumFreqText, f.textAt(2300),
                             f.textAt(3800), drawnAtReset), // the cursors reset after drawing
                  std::tuple(c.ampl, c.freq, c.ampl, c.freq, f.form.el.Picture1.ops().size()));
        EXPECT_DOUBLE_EQ(f.view.SpectrumFreqPerDiv, c.perDiv) << c.freq;
    }

    // The peak readout: a sine of 16 cycles in 256 points, 20 units high, lies on bin 16 (1250
    // Hz at 1 ms/div); 128 x 20 / 256 units of 2 V/div are 2 V, 10 log10(2560 x 0.2 V) 27.1 dB.
    // clang-format off
    const struct { double gain; int scale; bool shown; const char *text; } peaks[] = {
        {7, 0, true, "Peak: 1250.0Hz   2.0V"}, {7, 1, true, "Peak: 1250.0Hz   27.1dB"},
        {99, 0, true, "Peak: 1250.0Hz   ??"}, {7, 0, false, ""}};
    // clang-format on
    for (const auto &c : peaks) {
        Fixture f;
        f.view.showPeak = c.shown;
        f.show(0, c.gain, 13, 0, c.scale, 16);
        EXPECT_EQ(f.textAt(2600, 50), c.text) << c.gain;
    }
    // No peak in a constant; no scale touches bin 256 (a cursor on the right edge reads it).
    for (const int scale : {0, 1}) {
        Fixture flat;
        flat.view.Spectrum[256] = 7;
        flat.show(0, 7, 13, 3, scale);
        EXPECT_EQ(flat.view.Spectrum[256], 7) << scale;
        EXPECT_EQ(flat.view.peakText(), "Peak: --") << scale;
    }

    // Bins 0..127 clamped, the linear gain set by the largest bin, the zero marker -50 dB or 0 V.
    // clang-format off
    const struct { int model, gainIndex, scale; double constant, gain, firstY; } traces[] = {
        {0, 7, 0, 0, 16, 4500},     {0, 7, 0, 4.99, 16, 1306.4}, {0, 7, 0, 5, 8, 2900},
        {0, 7, 0, 9.99, 8, 1303.2}, {0, 7, 0, 10, 4, 2900},      {0, 7, 0, 19.99, 4, 1301.6},
        {0, 7, 0, 20, 1, 3700},     {0, 7, 0, -20, 1, 3700},     {0, 7, 0, 1000, 1, 500}, // clamped
        {0, 7, 1, 0, 1, 4500}, // the -50 dB floor lies on the bottom edge
        {0, 7, 1, 10, 1, 2500 - 400 * std::log10(256 * 2.0)},
        {4, 11, 1, 1, 1, 2500 - 400 * std::log10(256 * 0.005)}, // 50 mV/div taken in volts
        {0, 12, 1, 1, 1, 2500 - 400 * std::log10(256 * 0.004)}};
    // clang-format on
    for (const auto &c : traces) {
        Fixture f;
        f.show(c.model, c.gainIndex, 13, c.constant, c.scale);
        EXPECT_EQ(f.view.SpectrumGain, c.gain) << c.constant;
        const auto trace = f.lines(40);
        ASSERT_EQ(trace.size(), 127u);
        EXPECT_EQ(std::tuple(trace.front().x1, trace.back().x2), std::tuple(150, 150 + 40 * 127));
        EXPECT_NEAR(trace.front().y1, c.firstY, 0.5) << c.constant;
        for (const auto &l : trace)
            EXPECT_EQ(l.y2, 4500) << c.constant;
        EXPECT_EQ(f.lines(-60).at(0).y1, c.scale ? 2500 : 4500); // the zero marker
    }
    Fixture tiny; // a bin of less than the floor's volts (here 5e-10 V) reads the floor
    tiny.show(0, 7, 13, 1e-11, 1);
    EXPECT_EQ(tiny.view.Spectrum[0], -50);

    using V = SpectrumView;
    const std::pair<void (V::*)(), const char *> items[] = {
        {&V::mnuRectangular_Click, "Rectangular"}, {&V::mnuHanning_Click, "Hanning"},
        {&V::mnuHamming_Click, "Hamming"},         {&V::mnuBlackman_Click, "Blackman"},
        {&V::mnuFlattop_Click, "Flattop"},         {&V::mnuBartlett_Click, "Bartlett"}};
    Fixture f;
    for (int type = 0; type < 12; ++type) { // each item twice
        const auto &[click, name] = items[type % 6];
        const auto generation = f.form.el.Picture1.generation();
        (f.view.*click)();
        EXPECT_EQ(f.form.v.WindowType, type % 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(f.form.el.mnuWindow[i].checked(), i == type % 6) << name;
        EXPECT_GT(f.form.el.Picture1.generation(), generation);
        EXPECT_EQ(f.textAt(150), std::string("Window: ") + name);
    }
    // The log view keeps the linear V/div for the cursors; view items redraw only a valid waveform.
    auto &el = f.form.el;
    f.form.wave.DsoParam[2] = 7; // 2 V/div, 0.125 V/div at gain 16
    f.view.mnuLinear_Click();
    EXPECT_TRUE(f.form.v.SpectrumLogScale == 0 && el.mnuLinear.checked() && !el.mnuLog.checked());
    f.view.mnuLog_Click();
    EXPECT_TRUE(f.form.v.SpectrumLogScale == 1 && el.mnuLog.checked() && !el.mnuLinear.checked());
    EXPECT_EQ(f.view.SpectrumAmplPerDiv, 0.125);
    int waveformDraws = 0;
    f.form.call.DSO_display = [&waveformDraws] { ++waveformDraws; };
    for (bool valid : {false, true}) {
        f.form.wave.WaveValid = valid;
        const auto generation = el.Picture1.generation();
        f.view.mnuDSOFFT_Click();
        EXPECT_TRUE(el.DSO_FFT.checked() && el.mnuDSOFFT.checked() && !el.mnuDSOFFT.enabled() &&
                    el.mnuDSOwave.enabled() && !el.mnuDSOwave.checked());
        EXPECT_EQ(el.Picture1.generation() > generation, valid);
        f.view.mnuDSOwave_Click();
        EXPECT_TRUE(el.DSO_wave.checked() && el.mnuDSOwave.checked() && !el.mnuDSOwave.enabled() &&
                    el.mnuDSOFFT.enabled() && !el.mnuDSOFFT.checked());
        EXPECT_EQ(waveformDraws, valid ? 1 : 0);
    }
}

} // namespace
} // namespace qv::spectrum
