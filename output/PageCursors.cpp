#include "output/PageCursors.h"

namespace qv::output {

void drawPageCursors(const common::ScreenGeometry &geo, const cursors::CursorState &state,
                     int cursorMode, common::DrawingTarget &page) {
    constexpr int kCursorPen = 5;
    page.setPenWidth(kCursorPen);
    page.setForeColor(common::kBlack);
    page.setDrawMode(common::DrawMode::Copy);
    const bool shown[] = {state.Cursor1Shown == 1, state.Cursor2Shown == 1};
    if (cursorMode == 1) {
        const double x[] = {static_cast<double>(state.TimeCursor1X),
                             static_cast<double>(state.TimeCursor2X)};
        for (int k = 0; k < 2; ++k)
            if (shown[k])
                page.line(x[k], geo.ScreenTop, x[k], geo.ScreenBottom, common::kBlack);
        return;
    }
    if (cursorMode == 2) {
        const double y[] = {static_cast<double>(state.LevelCursor1Y),
                             static_cast<double>(state.LevelCursor2Y)};
        for (int k = 0; k < 2; ++k)
            if (shown[k])
                page.line(geo.ScreenLeft, y[k], geo.ScreenRight, y[k], common::kBlack);
    }
}

void printAt(common::DrawingTarget &page, double x, double y, const std::string &text) {
    page.setCurrentY(y);
    page.setCurrentX(x);
    page.print(text);
}

} // namespace qv::output
