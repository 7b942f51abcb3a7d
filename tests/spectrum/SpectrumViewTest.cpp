#include "spectrum/SpectrumView.h"

#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qv::spectrum {
namespace {

using common::LineOp;
using common::TextOp;

// A form with a spectrum view over it, set to the rectangular window so that a constant
// waveform c gives exactly c in bin 0 after the linear scaling.
struct Fixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables scales;
    WindowTable windows;
    SpectrumView view{form, scales, windows};

    Fixture() { form.v.WindowType = 0; }

    void setup(int model, double gainIndex, double timeIndex, double constant) {
        form.v.MeterModelCode = static_cast<std::int16_t>(model);
        form.wave.DsoParam[2] = gainIndex;
        form.wave.DsoParam[0] = timeIndex;
        form.wave.WaveData.fill(0.0);
        for (int i = 0; i < 256; ++i)
            form.wave.WaveData[i] = constant;
    }

    // The trace: red segments one bin (40 twips) wide.
    [[nodiscard]] std::vector<LineOp> trace() const {
        std::vector<LineOp> lines;
        for (const auto &op : form.el.Picture1.ops())
            if (const auto *l = std::get_if<LineOp>(&op))
                if (l->color == common::kRed && l->x2 - l->x1 == 40)
                    lines.push_back(*l);
        return lines;
    }

    [[nodiscard]] const TextOp *textAt(double x, double y) const {
        for (const auto &op : form.el.Picture1.ops())
            if (const auto *t = std::get_if<TextOp>(&op))
                if (t->x == x && t->y == y)
                    return t;
        return nullptr;
    }
};

TEST(SpectrumView, LinearGainFollowsTheLargestBin) {
    const struct {
        double largest, gain;
    } cases[] = {{0, 16}, {4.99, 16}, {5, 8}, {9.99, 8}, {10, 4}, {19.99, 4}, {20, 1}, {-20, 1}};
    for (const auto &c : cases) {
        Fixture f;
        f.setup(0, 7, 13, c.largest);
        f.view.FFT_Display();
        EXPECT_EQ(f.view.SpectrumGain, c.gain) << "largest " << c.largest;
        EXPECT_DOUBLE_EQ(f.view.Spectrum[0], std::abs(c.largest));
    }
}

TEST(SpectrumView, ReadoutTexts) {
    const struct {
        int model;
        double gainIndex, timeIndex;
        int scale;
        const char *amplitude, *frequency;
        double freqPerDiv;
    } cases[] = {
        {0, 7, 7, 0, "F: 0.125V/div", "f: 7.813Hz /div", 7.8125},
        {0, 7, 13, 0, "F: 0.125V/div", "f: 781.25Hz /div", 781.25},
        {0, 7, 23, 0, "F: 0.125V/div", "f: 1.563MHz/div", 1.5625},
        {0, 13, 12, 0, "F: 1.25mV/div", "f: 390.625Hz /div", 390.625},
        {3, 7, 26, 1, "F: 10 dB/div", "f: 15.625MHz/div", 15.625},  // 50 ns/div
        {0, 7, 25, 0, "F: 0.125V/div", "f: ??", 0},                 // empty time base
        {0, 7, 0, 0, "F: 0.125V/div", "f: 39.063mHz/div", 39.0625}, // 20 s/div
    };
    for (const auto &c : cases) {
        Fixture f;
        f.setup(c.model, c.gainIndex, c.timeIndex, 0);
        f.form.v.SpectrumLogScale = c.scale;
        f.view.FFT_Display();
        EXPECT_EQ(f.view.SpectrumAmplText, c.amplitude) << c.frequency;
        EXPECT_EQ(f.view.SpectrumFreqText, c.frequency);
        EXPECT_DOUBLE_EQ(f.view.SpectrumFreqPerDiv, c.freqPerDiv) << c.frequency;
        const TextOp *freq = f.textAt(3800, 230);
        const TextOp *window = f.textAt(150, 230);
        const TextOp *amplitude = f.textAt(2300, 230);
        ASSERT_TRUE(freq && window && amplitude) << c.frequency;
        EXPECT_EQ(freq->text, c.frequency);
        EXPECT_EQ(amplitude->text, c.amplitude);
        EXPECT_EQ(window->text, "Window: Hanning");
    }
}

TEST(SpectrumView, DbViewKeepsTheAmplitudePerDivisionAndMarksZero) {
    Fixture f;
    f.setup(0, 7, 13, 0);
    f.view.FFT_Display();
    EXPECT_EQ(f.view.SpectrumAmplPerDiv, 0.125);
    f.form.v.SpectrumLogScale = 1;
    f.view.FFT_Display();
    EXPECT_EQ(f.view.SpectrumAmplPerDiv, 0.125);
    EXPECT_EQ(f.view.SpectrumGain, 1);
    // The zero marker's apex: the centre line in the dB view, the bottom edge in the linear one.
    const auto apexY = [&f] {
        for (const auto &op : f.form.el.Picture1.ops())
            if (const auto *l = std::get_if<LineOp>(&op))
                if (l->x1 == 150 && l->x2 == 90)
                    return l->y1;
        return -1.0;
    };
    EXPECT_EQ(apexY(), 2500);
    f.form.v.SpectrumLogScale = 0;
    f.view.FFT_Display();
    EXPECT_EQ(apexY(), 4500);
}

TEST(SpectrumView, TraceCoversBinsUpTo127AndIsClamped) {
    const struct {
        int scale;
        double constant;
        double firstY, restY;
    } cases[] = {
        {1, 0, 4500, 4500}, // the -50 dB floor lies on the bottom edge
        {0, 0, 4500, 4500}, // zero amplitude on the bottom edge
        {0, 4, 4500 - 40 * 16 * 4, 4500},
        {0, 1000, 500, 4500}, // far above the top: clamped to it
        {1, 10, 2500 - 40 * 4.34294481903252 * std::log(512), 4500},
    };
    for (const auto &c : cases) {
        Fixture f;
        f.setup(0, 7, 13, c.constant);
        f.form.v.SpectrumLogScale = c.scale;
        f.view.FFT_Display();
        const auto lines = f.trace();
        ASSERT_EQ(lines.size(), 127u);
        EXPECT_EQ(lines.front().x1, 150);
        EXPECT_EQ(lines.back().x2, 150 + 40 * 127);
        EXPECT_NEAR(lines.front().y1, c.firstY, 0.5) << c.constant;
        for (const auto &l : lines)
            EXPECT_EQ(l.y2, c.restY) << c.constant;
        EXPECT_EQ(lines.front().mode, common::DrawMode::Copy);
    }
}

TEST(SpectrumView, DbScaleTakesMillivoltGainsInVolts) {
    // Model 4 at index 11 is 50 mV/div: a constant of 1 unit is 5 mV, 256 * 5 mV in bin 0.
    const struct {
        int model;
        double gainIndex;
        double db;
    } cases[] = {{4, 11, 10 * std::log10(256 * 0.005)},
                 {4, 10, 10 * std::log10(256 * 0.01)},
                 {0, 12, 10 * std::log10(256 * 0.004)}};
    for (const auto &c : cases) {
        Fixture f;
        f.setup(c.model, c.gainIndex, 13, 1);
        f.form.v.SpectrumLogScale = 1;
        f.view.FFT_Display();
        EXPECT_NEAR(f.view.Spectrum[0], c.db, 1e-9) << c.model << "/" << c.gainIndex;
        EXPECT_EQ(f.view.Spectrum[5], -50);
    }
}

TEST(SpectrumView, CursorsAreResetAfterEverythingIsDrawn) {
    Fixture f;
    std::vector<std::size_t> calls;
    f.form.call.CursorInit = [&f, &calls] { calls.push_back(f.form.el.Picture1.ops().size()); };
    f.view.FFT_Display();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), f.form.el.Picture1.ops().size());
}

TEST(SpectrumView, WindowItemsCheckOneAndRedraw) {
    using Handler = void (SpectrumView::*)();
    const struct {
        Handler click;
        int type;
        const char *name;
    } cases[] = {{&SpectrumView::mnuRectangular_Click, 0, "Rectangular"},
                 {&SpectrumView::mnuHanning_Click, 1, "Hanning"},
                 {&SpectrumView::mnuHamming_Click, 2, "Hamming"},
                 {&SpectrumView::mnuBlackman_Click, 3, "Blackman"},
                 {&SpectrumView::mnuFlattop_Click, 4, "Flattop"},
                 {&SpectrumView::mnuBartlett_Click, 5, "Bartlett"}};
    Fixture f;
    for (const auto &c : cases) {
        for (int twice = 0; twice < 2; ++twice) {
            const auto generation = f.form.el.Picture1.generation();
            (f.view.*c.click)();
            EXPECT_EQ(f.form.v.WindowType, c.type);
            EXPECT_EQ(f.form.v.WindowName, c.name);
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(f.form.el.mnuWindow[i].checked(), i == c.type) << c.name;
            EXPECT_GT(f.form.el.Picture1.generation(), generation);
            ASSERT_NE(f.textAt(150, 230), nullptr);
            EXPECT_EQ(f.textAt(150, 230)->text, std::string("Window: ") + c.name);
        }
    }
}

TEST(SpectrumView, ScaleAndViewItems) {
    Fixture f;
    f.view.mnuLog_Click();
    EXPECT_EQ(f.form.v.SpectrumLogScale, 1);
    EXPECT_TRUE(f.form.el.mnuLog.checked());
    EXPECT_FALSE(f.form.el.mnuLinear.checked());
    EXPECT_EQ(f.view.SpectrumAmplText, "F: 10 dB/div");
    f.view.mnuLinear_Click();
    EXPECT_EQ(f.form.v.SpectrumLogScale, 0);
    EXPECT_TRUE(f.form.el.mnuLinear.checked());
    EXPECT_FALSE(f.form.el.mnuLog.checked());

    int waveformDraws = 0;
    f.form.call.DSO_display = [&waveformDraws] { ++waveformDraws; };
    for (bool valid : {false, true}) {
        f.form.wave.WaveValid = valid;
        const auto generation = f.form.el.Picture1.generation();
        f.view.mnuDSOFFT_Click();
        EXPECT_FALSE(f.form.el.mnuDSOFFT.enabled());
        EXPECT_TRUE(f.form.el.mnuDSOFFT.checked());
        EXPECT_TRUE(f.form.el.mnuDSOwave.enabled());
        EXPECT_FALSE(f.form.el.mnuDSOwave.checked());
        EXPECT_TRUE(f.form.el.DSO_FFT.checked());
        EXPECT_EQ(f.form.el.Picture1.generation() > generation, valid);

        f.view.mnuDSOwave_Click();
        EXPECT_FALSE(f.form.el.mnuDSOwave.enabled());
        EXPECT_TRUE(f.form.el.mnuDSOwave.checked());
        EXPECT_TRUE(f.form.el.mnuDSOFFT.enabled());
        EXPECT_FALSE(f.form.el.mnuDSOFFT.checked());
        EXPECT_TRUE(f.form.el.DSO_wave.checked());
        EXPECT_EQ(waveformDraws, valid ? 1 : 0);
    }
}

TEST(SpectrumView, HostileSettingsDrawWithoutFault) {
    const double hostile[] = {-1, 1e300, NAN, 31, 15.5, -1e300};
    for (double v : hostile) {
        Fixture f;
        f.setup(0, v, v, 0);
        f.form.wave.WaveData[3] = v;
        f.form.v.MeterModelCode = 20;
        for (int scale : {0, 1}) {
            f.form.v.SpectrumLogScale = scale;
            f.view.FFT_Display();
            for (const auto &l : f.trace()) {
                EXPECT_GE(l.y2, 500);
                EXPECT_LE(l.y2, 4500);
            }
            EXPECT_FALSE(std::isinf(f.view.SpectrumFreqPerDiv));
        }
    }
}

} // namespace
} // namespace qv::spectrum
