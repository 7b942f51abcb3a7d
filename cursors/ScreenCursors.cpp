#include "cursors/ScreenCursors.h"

#include "common/Rounding.h"
#include "cursors/ReadoutStrip.h"

namespace qv::cursors {
namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

} // namespace

ScreenCursors::ScreenCursors(common::Form &form, const dso::ScaleTables &scales,
                             const spectrum::SpectrumView &spectrum)
    : form_(form), readouts_(form, scales, spectrum, state_) {}

void ScreenCursors::CursorInit() {
    state_.CursorPenColor = form_.el.DSO_wave.checked() ? common::kCyan : common::kYellow;
    state_.Cursor1Shown = 0;
    state_.Cursor2Shown = 0;
    form_.el.Picture1.setDrawMode(common::DrawMode::Xor);
}

void ScreenCursors::verticalLine(double x) {
    form_.el.Picture1.line(x, form_.geo.ScreenTop, x, form_.geo.ScreenBottom,
                           state_.CursorPenColor);
}

void ScreenCursors::horizontalLine(double y) {
    form_.el.Picture1.line(form_.geo.ScreenLeft, y, form_.geo.ScreenRight, y,
                           state_.CursorPenColor);
}

void ScreenCursors::HCursorErase(int k) {
    form_.el.Picture1.setDrawMode(common::DrawMode::Xor);
    if (k == 1 && state_.Cursor1Shown == 1)
        verticalLine(state_.TimeCursor1X);
    else if (k == 2 && state_.Cursor2Shown == 1)
        verticalLine(state_.TimeCursor2X);
}

void ScreenCursors::VCursorErase(int k) {
    form_.el.Picture1.setDrawMode(common::DrawMode::Xor);
    if (k == 1 && state_.Cursor1Shown == 1)
        horizontalLine(state_.LevelCursor1Y);
    else if (k == 2 && state_.Cursor2Shown == 1)
        horizontalLine(state_.LevelCursor2Y);
}

void ScreenCursors::CloseHCursor() {
    HCursorErase(1);
    HCursorErase(2);
    state_.Cursor1Shown = 0;
    state_.Cursor2Shown = 0;
}

void ScreenCursors::CloseVCursor() {
    VCursorErase(1);
    VCursorErase(2);
    state_.Cursor1Shown = 0;
    state_.Cursor2Shown = 0;
}

void ScreenCursors::Clear_dVdt() {
    ReadoutStrip::Clear_dVdt(form_.el.Picture1);
}

// The line is drawn at the whole twip that is stored, not at the fractional click position, so
// that the erase (which draws at the stored position) always covers the same pixels.
void ScreenCursors::placeXCursor(int button, float x) {
    const int k = button == kLeftButton ? 1 : button == kRightButton ? 2 : 0;
    if (k == 0)
        return;
    const std::int16_t at = common::toInt16(x);
    HCursorErase(k);
    verticalLine(at);
    (k == 1 ? state_.TimeCursor1X : state_.TimeCursor2X) = at;
    (k == 1 ? state_.Cursor1Shown : state_.Cursor2Shown) = 1;
}

void ScreenCursors::placeYCursor(int button, float y) {
    const int k = button == kLeftButton ? 1 : button == kRightButton ? 2 : 0;
    if (k == 0)
        return;
    const std::int16_t at = common::toInt16(y);
    VCursorErase(k);
    horizontalLine(at);
    (k == 1 ? state_.LevelCursor1Y : state_.LevelCursor2Y) = at;
    (k == 1 ? state_.Cursor1Shown : state_.Cursor2Shown) = 1;
}

void ScreenCursors::Picture1_MouseDown(int button, int /*shift*/, float x, float y) {
    const auto &geo = form_.geo;
    const bool inside =
        x >= geo.ScreenLeft && x <= geo.ScreenRight && y >= geo.ScreenTop && y <= geo.ScreenBottom;
    const std::int16_t mode = form_.v.CursorMode;
    if (!inside || mode <= 0)
        return;
    form_.el.Picture1.setDrawMode(common::DrawMode::Xor);
    const bool waveformView = form_.el.DSO_wave.checked();
    if (mode == 1) {
        placeXCursor(button, x);
        if (waveformView)
            readouts_.t_measurement();
        else
            readouts_.f_measurement();
    } else if (mode == 2) {
        placeYCursor(button, y);
        if (waveformView)
            readouts_.V_measurement();
        else
            readouts_.FV_measurement();
    }
}

} // namespace qv::cursors
