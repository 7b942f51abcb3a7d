#pragma once
#include "common/Form.h"
#include "cursors/ScreenCursors.h"
#include "spectrum/SpectrumView.h"

namespace qv::output {

/// The spectrum view on a printer page, exactly as last drawn on the screen (nothing is
/// recomputed): the spectrum graticule, bins 0..127 in black with a heavy pen, the spectrum
/// readouts and, by the cursor mode, the shown cursors with their readouts.
void FFT_Print(common::Form &form, const spectrum::SpectrumView &view,
               const cursors::ScreenCursors &cursors, common::DrawingTarget &page);

} // namespace qv::output
