#pragma once
#include "common/Form.h"
#include "dso/Measurements.h"
#include "dso/ScaleTables.h"

#include <cstdint>
#include <functional>

namespace qv::dso {

/// Draws the graticule on a target: mode 0 the waveform grid (vertical lines centred), any other
/// mode the spectrum grid (lines from the left edge, axis ticks at the left edge). The scope
/// screen (form.el.Picture1) is cleared first, drawn with pen width 1 and gets its cursors re-armed
/// (form.call.CursorInit); any other target (a printer page) is drawn with pen width 2 and is not
/// cleared.
void Display_Coordinate(common::Form &form, common::DrawingTarget &target, int mode);

/// Clamps a vertical coordinate to the graticule: ScreenTop..ScreenBottom.
[[nodiscard]] std::int16_t CheckLimit(const common::ScreenGeometry &geo, std::int16_t y);

/// Vertical coordinate of a waveform point with the trace's vertical position added: rounded to
/// a 16-bit integer (saturating) and clamped to the graticule.
[[nodiscard]] std::int16_t traceY(const common::ScreenGeometry &geo, double value, double position);

/// Redraws the waveform view on the scope screen: graticule, trace of points 0..250, the title
/// into Text1, the parameter readouts, the automatic measurements, then the cursors. An underlay
/// (the reference trace) is drawn between the graticule and the trace.
void DSO_display(common::Form &form, const ScaleTables &tables, Measurements &measurements,
                 const std::function<void(common::DrawingTarget &)> &underlay = {});

} // namespace qv::dso
