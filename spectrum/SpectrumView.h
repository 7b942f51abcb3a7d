#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"
#include "spectrum/Fft.h"
#include "spectrum/WindowTable.h"

#include <array>
#include <string>

namespace qv::spectrum {

/// The spectrum view of the scope screen: computes, scales and draws the magnitude spectrum of
/// the current waveform with its readouts, and handles the window, scale and view menu items.
/// Its state is kept between redraws for the spectrum cursors and the spectrum print.
class SpectrumView {
  public:
    /// The form, the scale tables and the window table must outlive the view.
    SpectrumView(common::Form &form, const dso::ScaleTables &scales, const WindowTable &windows);
    SpectrumView(const SpectrumView &) = delete;
    SpectrumView &operator=(const SpectrumView &) = delete;

    /// Scaled magnitudes: volts-per-division tenths (linear view) or dB, bins 0..255.
    std::array<double, 257> Spectrum{};
    double SpectrumGain = 1;       ///< vertical gain of the linear view: 1, 4, 8 or 16
    double SpectrumAmplPerDiv = 0; ///< linear view amplitude per division, in GainUnit
    double SpectrumFreqPerDiv = 0; ///< frequency per division in SpectrumFreqUnit; 0 when unknown
    std::string SpectrumFreqUnit;
    std::string SpectrumAmplText; ///< "F: ..."
    std::string SpectrumFreqText; ///< "f: ..."
    /// Wave > Spectrum > Peak readout: the highest peak beside the DC bin above the graticule.
    bool showPeak = false;

    /// Recomputes the spectrum of WaveData and redraws the scope screen in the spectrum view.
    void FFT_Display();
    /// The computing part of FFT_Display without drawing: Spectrum scaled and SpectrumGain set.
    void compute();
    /// The three readouts, the zero marker and the meter model, on the screen or a printer page.
    void Display_FFT_Parameter(common::DrawingTarget &target) const;
    /// The peak readout as last computed, in the view's scale: "Peak: 781.25Hz  0.25V",
    /// "Peak: 7.813kHz  -12.5dB"; "Peak: --" for a spectrum without one.
    [[nodiscard]] std::string peakText() const;
    /// Unchecks all six window menu items.
    void FFTWindowRestore();

    /// The window function of type 0..5 (Rectangular to Bartlett), alone checked; redraws.
    void selectWindow(int type);
    void mnuRectangular_Click() { selectWindow(0); }
    void mnuHanning_Click() { selectWindow(1); }
    void mnuHamming_Click() { selectWindow(2); }
    void mnuBlackman_Click() { selectWindow(3); }
    void mnuFlattop_Click() { selectWindow(4); }
    void mnuBartlett_Click() { selectWindow(5); }
    void mnuLinear_Click();
    void mnuLog_Click();
    void mnuDSOwave_Click();
    void mnuDSOFFT_Click();

  private:
    [[nodiscard]] double scaleSpectrum();
    void drawTrace(double baseline);
    void makeAmplitudeText();
    void makeFrequencyText();

    common::Form &form_;
    const dso::ScaleTables &scales_;
    const WindowTable &windows_;
    Fft fft_;
};

} // namespace qv::spectrum
