#include "dmm/DigitPanel.h"

#include "dmm/ReadingText.h"

namespace qv::dmm {
namespace {

constexpr double kValueX = 300, kValueY = 40, kValuePt = 43;
constexpr double kUnitRight = 3000, kUnitCharWidth = 150, kUnitY = 940, kUnitPt = 12;
constexpr double kMessageX = 400, kMessageY = 300, kMessagePt = 12;

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

void DigitPanel::showMessage(const std::string &text) {
    common::DrawingTarget &panel = form_.el.Picture2;
    if (text.starts_with("Data e"))
        panel.box(400, 360, 1500, 500, common::kBlack);
    else
        panel.clear();
    panel.setForeColor(common::kCyan);
    panel.setCurrentX(kMessageX);
    panel.setCurrentY(kMessageY);
    panel.setFontSize(kMessagePt);
    panel.print(text);
}

} // namespace qv::dmm
