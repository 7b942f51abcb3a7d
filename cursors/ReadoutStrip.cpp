#include "cursors/ReadoutStrip.h"

namespace qv::cursors {

void ReadoutStrip::Clear_dVdt(common::DrawingTarget &target) {
    target.setDrawMode(common::DrawMode::Copy);
    target.box(kLeft, kTop, kRight, kBottom, common::kWhite);
    target.setForeColor(common::kBlack);
}

void ReadoutStrip::printAt(common::DrawingTarget &target, double x, const std::string &text) {
    target.setCurrentX(x);
    target.setCurrentY(kTop);
    target.print(text);
}

} // namespace qv::cursors
