#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"

namespace qv::dso {

/// The automatic measurements of the waveform on screen: peak-to-peak, mean, RMS, level in dB and
/// frequency. Values are stored already rounded the way they are shown, so a printed page shows
/// exactly what the screen showed.
class Measurements {
  public:
    Measurements(common::Form &form, const ScaleTables &tables) : form_(form), tables_(tables) {}

    /// Measures the current waveform and writes the five readouts on the scope screen.
    void Display_Measurement();
    /// Writes the readouts of the last measurement on a page (the dB level is recomputed from
    /// the stored RMS).
    void Print_Measurement(common::DrawingTarget &target);
    /// Measures the current waveform into the values below without drawing.
    void measure();

    double WaveMax = -256; ///< largest sample of the last pass
    double WaveMin = 256;  ///< smallest sample of the last pass
    double MeasPeakToPeak = 0, MeasAverage = 0, MeasRms = 0, MeasDecibel = 0;
    double MeasFrequency = 0;  ///< 0 when no frequency was found
    int MeasFrequencyUnit = 0; ///< FreqUnit index of MeasFrequency

    /// Whether the last measurement had a level; false shows "?? dB".
    [[nodiscard]] bool hasDecibel() const { return hasDecibel_; }

  private:
    void amplitude(double voltsPerUnit);
    /// Level in dB of the stored RMS; false when there is none (RMS not above 0).
    [[nodiscard]] bool decibel();
    void frequency();
    void writeReadouts(common::DrawingTarget &target, bool haveFrequency) const;

    common::Form &form_;
    const ScaleTables &tables_;
    bool hasDecibel_ = false;
    bool hasFrequency_ = false;
};

} // namespace qv::dso
