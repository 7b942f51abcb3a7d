#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"

namespace qv::dso {

/// All acquisition readouts around the graticule, in this order: date and time, slope glyph,
/// trigger level, time base, gain, coupling, zero marker (at DsoParam(3)), trigger-position
/// marker, meter model. Serves the scope screen and the printed page alike.
void Display_DSO_Parameter(const common::Form &form, const ScaleTables &tables,
                           common::DrawingTarget &target);

/// The frame's date at (3600, 50) and time at (4600, 50), in black.
void Display_DateAndtime(const common::Form &form, common::DrawingTarget &target);
/// "Model: " and the model name at (ScreenLeft, 50), in black.
void Display_MeterModel(const common::Form &form, common::DrawingTarget &target);
/// The trigger-slope glyph at the left end of the second readout line: falling for slope code 0,
/// rising otherwise.
void Display_Slope(const common::Form &form, common::DrawingTarget &target);
/// The trigger level in volts at (500, 230) and its red marker on the right edge.
void Display_Trig_Level(const common::Form &form, const ScaleTables &tables,
                        common::DrawingTarget &target);
/// "t: " and the time per division at (1600, 230).
void Display_time_base(const common::Form &form, const ScaleTables &tables,
                       common::DrawingTarget &target);
/// "Y: " and the volts per division at (3100, 230).
void Display_Gain_sel(const common::Form &form, const ScaleTables &tables,
                      common::DrawingTarget &target);
/// "GND", " DC" or " AC" at (4900, 230) by the coupling code; nothing for other codes.
void Display_couple(const common::Form &form, common::DrawingTarget &target);
/// The red zero-level marker on the left edge at a vertical position in tenths of a division.
void Display_Z_Pos(const common::Form &form, common::DrawingTarget &target, double position);
/// The red trigger-position marker on the top edge.
void Display_t_Pos(const common::Form &form, common::DrawingTarget &target);

} // namespace qv::dso
