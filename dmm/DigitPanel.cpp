#include "dmm/DigitPanel.h"

#include "dmm/ReadingText.h"

namespace qv::dmm {
namespace {

constexpr double kValueX = 300, kValueY = 40, kValuePt = 43;
constexpr double kUnitRight = 3000, kUnitCharWidth = 150, kUnitY = 940, kUnitPt = 12;
constexpr double kMessageX = 400, kMessageY = 300, kMessagePt = 12;
// The message line's cell: wide enough for 16 characters in 12 pt, down to above the progress
// marks (which start at 800), so a shorter message leaves nothing of a longer one behind.
constexpr double kMessageRight = 3255, kMessageBottom = 700;

} // namespace

void DigitPanel::Display_DMMReading() {
    if (!form_.el.mnuStart.checked())
        return;
    common::DrawingTarget &panel = form_.el.Picture2;
    const std::string &reading = form_.v.DMMReading;
    panel.clear();
    panel.setForeColor(common::kCyan);
    panel.setCurrentX(kValueX);
    panel.setCurrentY(kValueY);
    panel.setFontSize(kValuePt);
    panel.print(valueField(reading));

    const std::string unit = trimBlanks(unitField(reading));
    panel.setCurrentX(kUnitRight - kUnitCharWidth * static_cast<double>(unit.size()));
    panel.setCurrentY(kUnitY);
    panel.setFontSize(kUnitPt);
    // No line end: the position stays where the unit text ends (x = 3000 for an empty unit).
    panel.print(unit, false);
}

void DigitPanel::showProgressMark(int n) {
    const double left = 400 + 23.0 * n;
    form_.el.Picture2.box(left, 800, left + 20, 900, common::kProgress);
}

void DigitPanel::blankMessageLine() {
    form_.el.Picture2.box(kMessageX, kMessageY, kMessageRight, kMessageBottom, common::kBlack);
}

void DigitPanel::showMessage(const std::string &text) {
    common::DrawingTarget &panel = form_.el.Picture2;
    if (text.starts_with("Data e"))
        blankMessageLine();
    else
        panel.clear();
    panel.setForeColor(common::kCyan);
    panel.setCurrentX(kMessageX);
    panel.setCurrentY(kMessageY);
    panel.setFontSize(kMessagePt);
    panel.print(text);
}

} // namespace qv::dmm
