#pragma once
#include "common/Form.h"
#include "cursors/ScreenCursors.h"
#include "dso/Measurements.h"
#include "dso/ScaleTables.h"

#include <functional>

namespace qv::output {

/// The waveform view on a printer page in the scope screen's coordinates: the graticule, the
/// trace of samples 0..252 in black with a heavy pen, the parameter readouts, the measurements of
/// the last waveform shown and, by the cursor mode, the shown cursors with their readouts. An
/// underlay (the reference trace) is drawn between the graticule and the trace.
void DSO_Print(common::Form &form, const dso::ScaleTables &tables, dso::Measurements &measurements,
               const cursors::ScreenCursors &cursors, common::DrawingTarget &page,
               const std::function<void(common::DrawingTarget &)> &underlay = {});

} // namespace qv::output
