#include "spectrum/SpectrumView.h"

#include "common/ViewItems.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "dso/ParameterReadouts.h"
#include "dso/WaveScreen.h"
#include "spectrum/SpectrumPeak.h"

#include <algorithm>
#include <cmath>

namespace qv::spectrum {
namespace {

// Magnitudes at or below this (in volts) are shown at the -50 dB floor.
constexpr double kDbFloorVolts = 9.16675636485323E-10;
constexpr double kDbFloor = -50.0;
constexpr double kTenOverLn10 = 4.34294481903252; // 10 / ln(10): 10 * log10(x) = this * ln(x)
constexpr double kTwipsPerUnit = 40.0;            // one sample unit of height, one bin of width
constexpr int kTraceBins = 128;                   // bins 0..127; the rest mirror them
constexpr double kPeakX = 2600, kPeakY = 50;      // right of the model, where the view has no text

} // namespace

SpectrumView::SpectrumView(common::Form &form, const dso::ScaleTables &scales,
                           const WindowTable &windows)
    : form_(form), scales_(scales), windows_(windows) {}

double SpectrumView::scaleSpectrum() {
    const auto &param = form_.wave.DsoParam;
    const double model = form_.v.MeterModelCode;
    if (form_.v.SpectrumLogScale == 1) {
        // Volts per sample unit. The millivolt gains are divided down to volts; deciding that by
        // the unit rather than by the index keeps the 50 mV setting of the second gain family
        // (index 11) from reading 60 dB too high.
        double s = scales_.GainTable(param[2], model) / 10.0;
        if (scales_.GainUnit(param[2], model) == "mV")
            s /= 1000.0;
        for (int i = 0; i < Fft::kSize; ++i) {
            const double v = s * Spectrum[i];
            Spectrum[i] = v > kDbFloorVolts ? kTenOverLn10 * std::log(v) : kDbFloor;
        }
        return 0.0;
    }
    double largest = 0.0;
    for (int i = 0; i < Fft::kSize; ++i) {
        Spectrum[i] /= 256.0;
        largest = std::max(largest, Spectrum[i]);
    }
    return largest;
}

void SpectrumView::drawTrace(double baseline) {
    auto &screen = form_.el.Picture1;
    const auto &geo = form_.geo;
    const auto pointY = [&](int i) {
        const std::int16_t y =
            common::toInt16(baseline - kTwipsPerUnit * SpectrumGain * Spectrum[i]);
        return dso::CheckLimit(geo, y);
    };
    screen.setCurrentX(geo.ScreenLeft);
    screen.setCurrentY(pointY(0));
    for (int i = 1; i < kTraceBins; ++i)
        screen.lineTo(geo.ScreenLeft + kTwipsPerUnit * i, pointY(i));
}

void SpectrumView::makeAmplitudeText() {
    if (form_.v.SpectrumLogScale == 1) {
        SpectrumAmplText = "F: 10 dB/div";
        return;
    }
    const auto &param = form_.wave.DsoParam;
    const double model = form_.v.MeterModelCode;
    SpectrumAmplPerDiv = scales_.GainTable(param[2], model) / SpectrumGain;
    SpectrumAmplText = "F: " + common::shortestNumber(SpectrumAmplPerDiv) +
                       scales_.GainUnit(param[2], model) + "/div";
}

void SpectrumView::makeFrequencyText() {
    const double timeIndex = form_.wave.DsoParam[0];
    const int base = dso::ScaleTables::frequencyBaseUnit(timeIndex);
    // The nanosecond entry comes in microseconds, so its frequencies read in MHz like the rest.
    const double timePerDiv = scales_.timePerDivForFrequency(timeIndex, form_.v.MeterModelCode);
    if (!(timePerDiv > 0.0)) {
        // An index the model leaves empty: the frequency scale is unknown (its unit stays).
        SpectrumFreqPerDiv = 0.0;
        SpectrumFreqText = "f: ??";
        return;
    }
    SpectrumFreqPerDiv = 10.0 / (timePerDiv * 12.8);
    int down = 0;
    if (SpectrumFreqPerDiv < 1.0) {
        SpectrumFreqPerDiv *= 1000.0;
        down = 1;
    }
    SpectrumFreqUnit = scales_.FreqUnit(base - down);
    SpectrumFreqText =
        "f: " + common::formatPattern(SpectrumFreqPerDiv, "###0.0##") + SpectrumFreqUnit + "/div";
}

void SpectrumView::compute() {
    fft_.magnitudes(windows_, form_.v.WindowType, form_.wave.WaveData, Spectrum);
    const double largest = scaleSpectrum();
    if (form_.v.SpectrumLogScale == 1)
        SpectrumGain = 1;
    else
        SpectrumGain = largest < 5 ? 16 : largest < 10 ? 8 : largest < 20 ? 4 : 1;
}

void SpectrumView::FFT_Display() {
    compute();
    const bool log = form_.v.SpectrumLogScale == 1;
    const double baseline = log ? form_.geo.ScreenCenterY : form_.geo.ScreenBottom;

    auto &screen = form_.el.Picture1;
    dso::Display_Coordinate(form_, screen, 1);
    screen.setForeColor(common::kRed);
    screen.setDrawMode(common::DrawMode::Copy);
    drawTrace(baseline);

    makeAmplitudeText();
    makeFrequencyText();
    Display_FFT_Parameter(screen);
    common::Procedures::run(form_.call.CursorInit);
}

void SpectrumView::Display_FFT_Parameter(common::DrawingTarget &target) const {
    target.setForeColor(common::kBlack);
    target.setCurrentY(230);
    target.setCurrentX(3800);
    target.print(SpectrumFreqText);
    target.setCurrentY(230);
    target.setCurrentX(150);
    target.print("Window: " + form_.v.WindowName);
    target.setCurrentY(230);
    target.setCurrentX(2300);
    target.print(SpectrumAmplText);
    // Zero amplitude lies on the bottom edge in the linear view, 0 dB on the centre line.
    dso::Display_Z_Pos(form_, target, form_.v.SpectrumLogScale == 1 ? 0.0 : -50.0);
    dso::Display_MeterModel(form_, target);
    if (!showPeak)
        return;
    target.setForeColor(common::kBlack);
    target.setCurrentY(kPeakY);
    target.setCurrentX(kPeakX);
    target.print(peakText());
}

std::string SpectrumView::peakText() const {
    const auto bin = highestPeak(std::span<const double>(Spectrum.data(), kTraceBins));
    if (!bin)
        return "Peak: --";
    // A bin is a tenth of a division; an unknown time base leaves the frequency unknown.
    const std::string frequency =
        SpectrumFreqPerDiv > 0
            ? common::formatPattern(SpectrumFreqPerDiv * double(*bin) / 10, "###0.0##") +
                  SpectrumFreqUnit
            : "??";
    if (form_.v.SpectrumLogScale == 1)
        return "Peak: " + frequency + "  " + common::formatPattern(Spectrum[*bin], "###0.0") + "dB";
    const auto &param = form_.wave.DsoParam;
    const double model = form_.v.MeterModelCode;
    const std::string &unit = scales_.GainUnit(param[2], model);
    if (unit.empty()) // a gain the tables do not know
        return "Peak: " + frequency + "  ??";
    const double level = Spectrum[*bin] * scales_.GainTable(param[2], model) / 10;
    return "Peak: " + frequency + "  " + common::formatPattern(level, "###0.0##") + unit;
}

void SpectrumView::FFTWindowRestore() {
    for (auto &item : form_.el.mnuWindow)
        item.setChecked(false);
}

void SpectrumView::selectWindow(int type) {
    FFTWindowRestore();
    form_.v.WindowType = static_cast<std::int16_t>(type);
    form_.el.mnuWindow.at(static_cast<std::size_t>(type)).setChecked(true);
    form_.v.WindowName = WindowTable::name(type);
    FFT_Display();
}

void SpectrumView::mnuLinear_Click() {
    form_.v.SpectrumLogScale = 0;
    form_.el.mnuLinear.setChecked(true);
    form_.el.mnuLog.setChecked(false);
    FFT_Display();
}

void SpectrumView::mnuLog_Click() {
    form_.v.SpectrumLogScale = 1;
    form_.el.mnuLog.setChecked(true);
    form_.el.mnuLinear.setChecked(false);
    FFT_Display();
}

void SpectrumView::mnuDSOwave_Click() {
    common::markView(form_.el, true);
    form_.el.DSO_wave.setChecked(true);
    if (form_.wave.WaveValid)
        common::Procedures::run(form_.call.DSO_display);
}

void SpectrumView::mnuDSOFFT_Click() {
    common::markView(form_.el, false);
    form_.el.DSO_FFT.setChecked(true);
    if (form_.wave.WaveValid)
        FFT_Display();
}

} // namespace qv::spectrum
