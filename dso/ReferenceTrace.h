#pragma once
#include "common/DrawingTarget.h"
#include "common/Form.h"
#include "dso/ScaleTables.h"
#include "dso/WaveMeasurements.h"

#include <string>

namespace qv::dso {

/// The reference trace's colour: neither the trace's blue, the markers' red, the grid's grey nor
/// the cursors' cyan.
inline constexpr common::Rgb kReferenceColor{0, 150, 0};

/// Draws a reference trace to the live screen's scales: a point's volts and its time from the
/// frame's start are placed where the live frame's scales put them (in sample units when either
/// side's scale is unknown), the live trace's vertical position added. Clipped at the screen:
/// levels beyond it run along its edge, times beyond the trace's end are left out. The label goes
/// inside the graticule's top-left corner. Drawn in copy mode with the target's pen width; the
/// foreground colour and the drawing mode are left as they were.
void drawReference(common::DrawingTarget &target, const common::ScreenGeometry &geo,
                   const WaveInput &reference, const WaveInput &live, const std::string &label);

/// The reference's label: "REF 2V/div 1ms/div", "??" for a scale the tables do not know.
[[nodiscard]] std::string referenceLabel(const common::Waveform &wave, double modelCode,
                                         const ScaleTables &tables);

} // namespace qv::dso
