#include "output/SpectrumPrint.h"

#include "common/Rounding.h"
#include "dso/WaveScreen.h"
#include "output/PageCursors.h"

namespace qv::output {
namespace {

constexpr double kBinWidth = 40;     ///< twips per spectrum line
constexpr double kTwipsPerUnit = 40; ///< twips per amplitude unit (or per dB)
constexpr int kTraceBins = 128;
constexpr int kTracePen = 10;
constexpr double kReadoutY = 4750;
constexpr double kFirstReadoutX = 2000;
constexpr double kSecondReadoutX = 3500;

void printTrace(const common::Form &form, const spectrum::SpectrumView &view,
                common::DrawingTarget &page) {
    const common::ScreenGeometry &g = form.geo;
    const double baseline = form.v.SpectrumLogScale == 1 ? g.ScreenCenterY : g.ScreenBottom;
    const auto pointY = [&](int i) {
        return dso::CheckLimit(
            g, common::toInt16(baseline - view.Spectrum[i] * kTwipsPerUnit * view.SpectrumGain));
    };
    page.setDrawMode(common::DrawMode::Copy);
    page.setPenStyle(common::PenStyle::Solid);
    page.setPenWidth(kTracePen);
    page.setCurrentX(g.ScreenLeft);
    page.setCurrentY(pointY(0));
    for (int i = 1; i < kTraceBins; ++i)
        page.lineTo(g.ScreenLeft + kBinWidth * i, pointY(i), common::kBlack);
}

void printCursors(const common::Form &form, const cursors::ScreenCursors &cursors,
                  common::DrawingTarget &page) {
    const int mode = form.v.CursorMode;
    const cursors::CursorState &state = cursors.state();
    const cursors::CursorReadouts &texts = cursors.readouts();
    drawPageCursors(form.geo, state, mode, page);

    // Unlike the waveform page, the texts stand whenever a cursor mode is on.
    if (mode == 1) {
        if (state.Cursor1Shown == 1 && state.Cursor2Shown == 1) {
            printAt(page, kFirstReadoutX, kReadoutY, texts.FrequencyCursorText);
        } else {
            printAt(page, kSecondReadoutX, kReadoutY, texts.SpectrumLevelText);
            printAt(page, kFirstReadoutX, kReadoutY, texts.FrequencyCursorText);
        }
    } else if (mode == 2) {
        printAt(page, kFirstReadoutX, kReadoutY, texts.SpectrumLevelText);
    }
}

} // namespace

void FFT_Print(common::Form &form, const spectrum::SpectrumView &view,
               const cursors::ScreenCursors &cursors, common::DrawingTarget &page) {
    dso::Display_Coordinate(form, page, 1);
    printTrace(form, view, page);
    view.Display_FFT_Parameter(page);
    printCursors(form, cursors, page);
}

} // namespace qv::output
