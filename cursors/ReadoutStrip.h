#pragma once
#include "common/DrawingTarget.h"

namespace qv::cursors {

/// The strip below the graticule where the cursor readouts are printed, and their positions.
struct ReadoutStrip {
    static constexpr double kLeft = 2000, kTop = 4750, kRight = 5400, kBottom = 4950;
    static constexpr double kFirstX = 2000;  ///< first readout
    static constexpr double kSecondX = 3500; ///< second readout

    /// Blanks the strip (copy pen, white box) and leaves the foreground colour black.
    static void Clear_dVdt(common::DrawingTarget &target);
    /// Prints one readout text at the strip's top, ending the line.
    static void printAt(common::DrawingTarget &target, double x, const std::string &text);
};

} // namespace qv::cursors
