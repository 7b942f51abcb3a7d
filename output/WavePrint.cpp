#include "output/WavePrint.h"

#include "dso/ParameterReadouts.h"
#include "dso/WaveScreen.h"
#include "output/PageCursors.h"

#include <algorithm>
#include <cmath>

namespace qv::output {
namespace {

constexpr double kMargin = 60; ///< gap between the frame's left edge and the trace's start
constexpr double kStep = 20;   ///< twips per sample
constexpr int kTracePen = 10;
constexpr double kReadoutY = 4750;
constexpr double kFirstReadoutX = 2000;
constexpr double kSecondReadoutX = 3500;

void printTrace(const common::Form &form, common::DrawingTarget &page) {
    const common::ScreenGeometry &g = form.geo;
    const auto &wave = form.wave.WaveData;
    const double position = form.wave.DsoParam[3];
    page.setDrawMode(common::DrawMode::Copy);
    page.setPenStyle(common::PenStyle::Solid);
    const double left = g.ScreenLeft + kMargin;
    page.setCurrentX(left);
    page.setPenWidth(kTracePen);
    page.setCurrentY(dso::traceY(g, wave[0], position));
    // Two points more than the screen shows: the page runs on to ScreenRight - 1.
    const auto points =
        std::min(wave.size(), std::size_t(std::ceil((g.ScreenRight - left) / kStep)));
    for (std::size_t i = 0; i < points; ++i)
        page.lineTo(left + kStep * double(i), dso::traceY(g, wave[i], position), common::kBlack);
}

void printCursors(const common::Form &form, const cursors::ScreenCursors &cursors,
                  common::DrawingTarget &page) {
    const int mode = form.v.CursorMode;
    const cursors::CursorState &state = cursors.state();
    const cursors::CursorReadouts &texts = cursors.readouts();
    drawPageCursors(form.geo, state, mode, page);

    const bool one = state.Cursor1Shown == 1, two = state.Cursor2Shown == 1;
    if (!one && !two)
        return;
    if (mode == 1) {
        if (one && two) {
            printAt(page, kSecondReadoutX, kReadoutY, texts.InverseDeltaTimeText);
            printAt(page, kFirstReadoutX, kReadoutY, texts.DeltaTimeText);
        } else {
            printAt(page, kFirstReadoutX, kReadoutY, texts.TimeCursorLevelText);
        }
    } else if (mode == 2) {
        printAt(page, kFirstReadoutX, kReadoutY, texts.LevelCursorText);
    }
}

} // namespace

void DSO_Print(common::Form &form, const dso::ScaleTables &tables, dso::Measurements &measurements,
               const cursors::ScreenCursors &cursors, common::DrawingTarget &page,
               const std::function<void(common::DrawingTarget &)> &underlay) {
    dso::Display_Coordinate(form, page, 0);
    if (underlay)
        underlay(page);
    printTrace(form, page);
    dso::Display_DSO_Parameter(form, tables, page);
    measurements.Print_Measurement(page);
    printCursors(form, cursors, page);
}

} // namespace qv::output
