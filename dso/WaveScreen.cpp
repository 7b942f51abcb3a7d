#include "dso/WaveScreen.h"

#include <algorithm>
#include <cmath>

#include "common/Rounding.h"
#include "dso/ParameterReadouts.h"

namespace qv::dso {
namespace {

constexpr double kDivision = 400; ///< twips per graticule division
constexpr double kTick = 80;      ///< five ticks per division
constexpr double kTickHalf = 30;
constexpr double kUnit = 40;   ///< twips per sample unit vertically
constexpr double kStep = 20;   ///< twips per sample horizontally
constexpr double kMargin = 60; ///< gap between the frame and the trace's ends

} // namespace

void Display_Coordinate(common::Form &form, common::DrawingTarget &target, int mode) {
    const bool screen = &target == &form.el.Picture1;
    if (screen) {
        target.clear();
        target.setPenWidth(1);
    } else {
        target.setPenWidth(2);
    }
    target.setDrawMode(common::DrawMode::Copy);

    const common::ScreenGeometry &g = form.geo;
    const double x0 = g.ScreenLeft, y0 = g.ScreenTop, x1 = g.ScreenRight, y1 = g.ScreenBottom;
    const double cx = g.ScreenCenterX, cy = g.ScreenCenterY;

    // The frame takes the grid colour without changing the target's foreground colour.
    const common::Rgb fore = target.foreColor();
    target.setForeColor(common::kGrid);
    target.rect(x0, y0, x1, y1);
    target.setForeColor(fore);

    for (double d = 0; d <= cy - y0; d += kDivision) {
        target.line(x0, cy - d, x1, cy - d, common::kGrid);
        target.line(x0, cy + d, x1, cy + d, common::kGrid);
    }
    for (double d = 0; d <= cx - x0; d += kTick) {
        target.line(cx - d, cy - kTickHalf, cx - d, cy + kTickHalf, common::kGrid);
        target.line(cx + d, cy - kTickHalf, cx + d, cy + kTickHalf, common::kGrid);
    }
    if (mode == 0) {
        // Whole divisions each side of the centre (the half-width is 6.4 of them).
        const double last = std::floor((cx - x0) / kDivision) * kDivision;
        for (double d = 0; d <= last; d += kDivision) {
            target.line(cx - d, y0, cx - d, y1, common::kGrid);
            target.line(cx + d, y0, cx + d, y1, common::kGrid);
        }
    } else {
        for (double x = x0; x <= x1; x += kDivision)
            target.line(x, y0, x, y1, common::kGrid);
    }
    const double axis = mode == 0 ? cx : x0;
    for (double d = 0; d <= cy - y0; d += kTick) {
        target.line(axis - kTickHalf, cy - d, axis + kTickHalf, cy - d, common::kGrid);
        target.line(axis - kTickHalf, cy + d, axis + kTickHalf, cy + d, common::kGrid);
    }

    if (screen)
        common::Procedures::run(form.call.CursorInit);
}

std::int16_t CheckLimit(const common::ScreenGeometry &geo, std::int16_t y) {
    return std::clamp(y, common::toInt16(geo.ScreenTop), common::toInt16(geo.ScreenBottom));
}

std::int16_t traceY(const common::ScreenGeometry &geo, double value, double position) {
    return CheckLimit(geo, common::toInt16(geo.ScreenCenterY - (value + position) * kUnit));
}

void DSO_display(common::Form &form, const ScaleTables &tables, Measurements &measurements,
                 const std::function<void(common::DrawingTarget &)> &underlay) {
    common::DrawingTarget &screen = form.el.Picture1;
    Display_Coordinate(form, screen, 0);
    if (underlay)
        underlay(screen);
    screen.setForeColor(common::kBlue);
    screen.setDrawMode(common::DrawMode::Copy);

    const common::ScreenGeometry &g = form.geo;
    const auto &wave = form.wave.WaveData;
    const double position = form.wave.DsoParam[3];
    screen.setCurrentX(g.ScreenLeft + kMargin);
    screen.setCurrentY(traceY(g, wave[0], position));
    size_t i = 0;
    for (double x = g.ScreenLeft + kMargin; x <= g.ScreenRight - kMargin && i < wave.size();
         x += kStep, ++i)
        screen.lineTo(x, traceY(g, wave[i], position));

    form.el.Text1.setText(form.wave.WaveTitle);
    Display_DSO_Parameter(form, tables, screen);
    measurements.Display_Measurement();
    common::Procedures::run(form.call.CursorInit);
}

} // namespace qv::dso
