#include "dmm/DigitPanel.h"

#include "dmm/ReadingText.h"
#include "link/LinkTexts.h"

namespace qv::dmm {
namespace {

constexpr double kValueX = 300, kValueY = 40, kValuePt = 43;
constexpr double kUnitRight = 3000, kUnitCharWidth = 150, kUnitY = 940, kUnitPt = 12;
constexpr double kMessageX = 400, kMessageY = 300, kMessagePt = 12;
// The message line's cell: wide enough for 16 characters in 12 pt, down to above the progress
// marks (which start at 800), so a shorter message leaves nothing of a longer one behind.
constexpr double kMessageRight = 3255, kMessageBottom = 700;
// A reading no longer measured: grey digits, the link-lost text left of the unit's line.
constexpr common::Rgb kStale{128, 128, 128};
constexpr double kLostX = 300, kLostY = 940, kLostPt = 10;

} // namespace

void DigitPanel::Display_DMMReading() {
    if (!form_.el.mnuStart.checked())
        return;
    drawReading(form_.v.DMMReading, common::kCyan);
    markShown(form_.v.DMMReading);
}

void DigitPanel::showLinkLost() {
    const common::Elements &el = form_.el;
    if (!el.mnuStart.checked() || !el.DMMmode.checked() || !showsReading())
        return;
    // The reading as it was drawn: DMMReading may hold a later packet's text by now.
    const std::string reading = shown_;
    drawReading(reading, kStale);
    common::DrawingTarget &panel = form_.el.Picture2;
    panel.setForeColor(common::kCyan);
    panel.setCurrentX(kLostX);
    panel.setCurrentY(kLostY);
    panel.setFontSize(kLostPt);
    panel.print(link::kDisconnectedText, false);
    markShown(reading);
}

void DigitPanel::drawReading(const std::string &reading, common::Rgb colour) {
    common::DrawingTarget &panel = form_.el.Picture2;
    panel.clear();
    panel.setForeColor(colour);
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

void DigitPanel::markShown(std::string reading) {
    const common::DrawingTarget &panel = form_.el.Picture2;
    shown_ = std::move(reading);
    shownList_ = std::pair(panel.generation(), panel.ops().size());
}

bool DigitPanel::showsReading() const {
    const common::DrawingTarget &panel = form_.el.Picture2;
    return shownList_ == std::pair(panel.generation(), panel.ops().size());
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
