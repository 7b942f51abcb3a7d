#pragma once
#include "common/Form.h"
#include "cursors/ScreenCursors.h"
#include "dso/Measurements.h"
#include "dso/ScaleTables.h"
#include "spectrum/SpectrumView.h"

#include <functional>

namespace qv::output {

/// The Print and Copy commands. Print composes one page per copy: the DMM record in DMM mode,
/// otherwise the waveform or spectrum view (by the DSO_wave button) with a title line. Copy puts
/// the scope screen as it stands on the clipboard.
class Printing {
  public:
    /// Logical size of the scope screen in twips, as the copy takes it.
    static constexpr double kScreenWidth = 5530;
    static constexpr double kScreenHeight = 5055;

    /// Everything passed in must outlive the commands.
    Printing(common::Form &form, const dso::ScaleTables &tables, dso::Measurements &measurements,
             const spectrum::SpectrumView &spectrum, const cursors::ScreenCursors &cursors);
    Printing(const Printing &) = delete;
    Printing &operator=(const Printing &) = delete;

    /// The Print command: asks for the number of copies and prints each as a document of one
    /// page. Cancel, a missing printer and every failure end the command without a message.
    void Printout();
    /// Sets the page up (Arial 9, origin -1000/-1000, solid pen) and composes its content.
    void Printout0(common::DrawingTarget &page);
    /// The waveform view on the page.
    void DSO_Print(common::DrawingTarget &page);
    /// The spectrum view on the page, as last drawn.
    void FFT_Print(common::DrawingTarget &page);
    /// The Copy command: clears the clipboard, then puts the scope screen on it as a bitmap.
    void mnuCopy_Click();
    /// Drawn on a waveform page between the graticule and the trace (the reference trace).
    void setUnderlay(std::function<void(common::DrawingTarget &)> f) { underlay_ = std::move(f); }

  private:
    common::Form &form_;
    const dso::ScaleTables &tables_;
    dso::Measurements &measurements_;
    const spectrum::SpectrumView &spectrum_;
    const cursors::ScreenCursors &cursors_;
    std::function<void(common::DrawingTarget &)> underlay_;
};

} // namespace qv::output
