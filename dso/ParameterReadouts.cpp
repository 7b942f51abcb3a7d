#include "dso/ParameterReadouts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qv::dso {
namespace {

constexpr double kUnit = 40;   ///< twips per tenth of a division
constexpr double kMarker = 60; ///< half size of a marker triangle

// Marker positions come from the record, which a file may fill with anything: keep them within
// the 16-bit coordinate range the surfaces take, so a wild value draws off the graticule instead
// of failing.
double coordinate(double v) {
    if (std::isnan(v))
        return 0;
    return std::clamp(v, static_cast<double>(std::numeric_limits<std::int16_t>::min()),
                      static_cast<double>(std::numeric_limits<std::int16_t>::max()));
}

void moveTo(common::DrawingTarget &target, double x, double y) {
    target.setCurrentX(x);
    target.setCurrentY(y);
}

double modelOf(const common::Form &form) {
    return form.v.MeterModelCode;
}

} // namespace

void Display_DSO_Parameter(const common::Form &form, const ScaleTables &tables,
                           common::DrawingTarget &target) {
    Display_DateAndtime(form, target);
    Display_Slope(form, target);
    Display_Trig_Level(form, tables, target);
    Display_time_base(form, tables, target);
    Display_Gain_sel(form, tables, target);
    Display_couple(form, target);
    Display_Z_Pos(form, target, form.wave.DsoParam[3]);
    Display_t_Pos(form, target);
    Display_MeterModel(form, target);
}

void Display_DateAndtime(const common::Form &form, common::DrawingTarget &target) {
    target.setForeColor(common::kBlack);
    moveTo(target, 3600, 50);
    target.print(form.wave.WaveDate);
    moveTo(target, 4600, 50);
    target.print(form.wave.WaveTime);
}

void Display_MeterModel(const common::Form &form, common::DrawingTarget &target) {
    target.setForeColor(common::kBlack);
    moveTo(target, form.geo.ScreenLeft, 50);
    target.print("Model: " + form.v.MeterModelName);
}

void Display_Slope(const common::Form &form, common::DrawingTarget &target) {
    const double left = form.geo.ScreenLeft;
    const bool falling = form.wave.DsoParam[5] == 0;
    const double from = falling ? 270 : 400;
    const double to = falling ? 400 : 270;
    moveTo(target, left, from);
    target.lineTo(left + 50, from, common::kBlack);
    target.lineTo(left + 50, to, common::kBlack);
    target.lineTo(left + 100, to, common::kBlack);
}

void Display_Trig_Level(const common::Form &form, const ScaleTables &tables,
                        common::DrawingTarget &target) {
    const auto &p = form.wave.DsoParam;
    target.setForeColor(common::kBlack);
    moveTo(target, 500, 230);
    target.print(
        {tables.GainTable(p[2], modelOf(form)) * p[6] / 10, tables.GainUnit(p[2], modelOf(form))});

    const double right = form.geo.ScreenRight;
    const double y = coordinate(form.geo.ScreenCenterY - p[6] * kUnit);
    target.setForeColor(common::kRed);
    moveTo(target, right, y);
    target.lineTo(right + kMarker, y + kMarker);
    target.lineTo(right + kMarker, y - kMarker);
    target.lineTo(right, y);
}

void Display_time_base(const common::Form &form, const ScaleTables &tables,
                       common::DrawingTarget &target) {
    const double index = form.wave.DsoParam[0];
    target.setForeColor(common::kBlack);
    moveTo(target, 1600, 230);
    target.print(
        {"t: ", tables.TimeBaseTable(index, modelOf(form)), tables.TimeBaseUnit(index) + "/div"});
}

void Display_Gain_sel(const common::Form &form, const ScaleTables &tables,
                      common::DrawingTarget &target) {
    const double index = form.wave.DsoParam[2];
    target.setForeColor(common::kBlack);
    moveTo(target, 3100, 230);
    target.print({"Y: ", tables.GainTable(index, modelOf(form)),
                  tables.GainUnit(index, modelOf(form)), "/div"});
}

void Display_couple(const common::Form &form, common::DrawingTarget &target) {
    const double code = form.wave.DsoParam[4];
    target.setForeColor(common::kBlack);
    moveTo(target, 4900, 230);
    target.print(code == 0 ? "GND" : code == 1 ? " DC" : code == 3 ? " AC" : "");
}

void Display_Z_Pos(const common::Form &form, common::DrawingTarget &target, double position) {
    const double left = form.geo.ScreenLeft;
    const double y = coordinate(form.geo.ScreenCenterY - position * kUnit);
    target.setForeColor(common::kRed);
    moveTo(target, left, y);
    target.lineTo(left - kMarker, y + kMarker);
    target.lineTo(left - kMarker, y - kMarker);
    target.lineTo(left, y);
}

void Display_t_Pos(const common::Form &form, common::DrawingTarget &target) {
    const double top = form.geo.ScreenTop;
    const double x = coordinate(form.geo.ScreenCenterX + form.wave.DsoParam[1] * kUnit);
    target.setForeColor(common::kRed);
    moveTo(target, x, top);
    target.lineTo(x - kMarker, top - kMarker);
    target.lineTo(x + kMarker, top - kMarker);
    target.lineTo(x, top);
}

} // namespace qv::dso
