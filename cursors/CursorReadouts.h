#pragma once
#include "common/Form.h"
#include "cursors/CursorState.h"
#include "dso/ScaleTables.h"
#include "spectrum/SpectrumView.h"

#include <string>

namespace qv::cursors {

/// The values under the screen cursors, printed in the readout strip below the graticule. Each
/// procedure keeps its texts so that the printed page can repeat them.
class CursorReadouts {
  public:
    /// Everything passed in must outlive the readouts.
    CursorReadouts(common::Form &form, const dso::ScaleTables &scales,
                   const spectrum::SpectrumView &spectrum, const CursorState &state);
    CursorReadouts(const CursorReadouts &) = delete;
    CursorReadouts &operator=(const CursorReadouts &) = delete;

    std::string DeltaTimeText;        ///< "dt=" ... time unit
    std::string InverseDeltaTimeText; ///< "1/dt=" ... frequency unit, or "1/dt= ??"
    std::string TimeCursorLevelText;  ///< "V=" ... volts unit
    std::string LevelCursorText;      ///< "dV=" or "V=" ... volts unit
    std::string FrequencyCursorText;  ///< "df=" or "f=" ... frequency unit
    std::string SpectrumLevelText;    ///< "F=" or "dF=" ... volts unit or "dB"

    /// Waveform view, X cursors: time difference and its inverse, or the level at one cursor.
    void t_measurement();
    /// Waveform view, Y cursors: level difference, or the level of one cursor.
    void V_measurement();
    /// Spectrum view, X cursors: frequency difference, or frequency and spectrum level.
    void f_measurement();
    /// Spectrum view, Y cursors: spectrum level difference, or the level of one cursor.
    void FV_measurement();

  private:
    [[nodiscard]] bool both() const { return state_.Cursor1Shown == 1 && state_.Cursor2Shown == 1; }
    /// Offset of the one shown X cursor from the graticule's left edge; 0 when none is shown.
    [[nodiscard]] double singleXOffset() const;
    /// The one shown Y cursor's position; `none` when none is shown.
    [[nodiscard]] double singleY(double none) const;
    [[nodiscard]] double gain() const;
    [[nodiscard]] const std::string &gainUnit() const;
    void printAt(double x, const std::string &text);

    common::Form &form_;
    const dso::ScaleTables &scales_;
    const spectrum::SpectrumView &spectrum_;
    const CursorState &state_;
};

} // namespace qv::cursors
