#pragma once
#include "common/Form.h"
#include "cursors/CursorReadouts.h"
#include "cursors/CursorState.h"

namespace qv::cursors {

/// The two measuring cursors on the scope screen (form.el.Picture1): vertical lines (X cursors,
/// CursorMode 1) or horizontal lines (Y cursors, CursorMode 2), placed with the mouse and drawn
/// with an XOR pen so that drawing a line again removes it exactly. Each click refreshes the
/// readout of the current view.
class ScreenCursors {
  public:
    /// The form, the tables and the spectrum view must outlive the cursors.
    ScreenCursors(common::Form &form, const dso::ScaleTables &scales,
                  const spectrum::SpectrumView &spectrum);
    ScreenCursors(const ScreenCursors &) = delete;
    ScreenCursors &operator=(const ScreenCursors &) = delete;

    /// After the screen was cleared: pen colour by view (cyan waveform, yellow spectrum), no
    /// cursor counts as drawn, XOR pen.
    void CursorInit();
    /// Draws X cursor k (1 or 2) again, which erases it, if it is shown; the flag stays.
    void HCursorErase(int k);
    /// Draws Y cursor k (1 or 2) again, which erases it, if it is shown; the flag stays.
    void VCursorErase(int k);
    /// Erases both X cursors and clears both shown flags.
    void CloseHCursor();
    /// Erases both Y cursors and clears both shown flags.
    void CloseVCursor();
    /// Blanks the readout strip below the graticule.
    void Clear_dVdt();
    /// A mouse button went down on the scope screen at (x, y) twips: button 1 (left) places
    /// cursor 1, 2 (right) cursor 2, any other only refreshes the readout. Ignored outside the
    /// graticule (its edges count as inside) and when CursorMode is 0.
    void Picture1_MouseDown(int button, int shift, float x, float y);

    [[nodiscard]] const CursorState &state() const { return state_; }
    [[nodiscard]] CursorReadouts &readouts() { return readouts_; }
    [[nodiscard]] const CursorReadouts &readouts() const { return readouts_; }

  private:
    void verticalLine(double x);
    void horizontalLine(double y);
    void placeXCursor(int button, float x);
    void placeYCursor(int button, float y);

    common::Form &form_;
    CursorState state_;
    CursorReadouts readouts_;
};

} // namespace qv::cursors
