#pragma once
#include "common/DrawOps.h"

#include <QRectF>

class QPainter;

namespace qv::platform::qt {

/// Paints a display list recorded in twips onto a painter.
struct PaintScale {
    double pixelsPerTwip = 1.0 / 15.0; ///< 96 dpi: one pixel is 15 twips
    double originX = 0, originY = 0;   ///< twips at the device's top-left corner
    bool allowXor = true;              ///< false on printers and PDF, which have no XOR
    /// Size of one pen-width unit: a 96-dpi screen pixel (15 twips) on screens; on paper a
    /// printer dot of 600 dpi (2.4 twips), so a heavy trace stays a fine line there.
    double twipsPerPenUnit = 15.0;
};

/// Renders ops[from..] in order. Lines and boxes are drawn aliased on whole pixels, so that a
/// line drawn twice in XOR restores every pixel; text is drawn with its top-left corner at its
/// position, the font size scaling with the view. `area` is what a clear fills.
void paintDisplayList(QPainter &painter, const common::DisplayList &ops, std::size_t from,
                      const PaintScale &scale, const QRectF &area);

/// The list as it looks, for devices without XOR (vector pictures): an XOR line or box drawn
/// twice cancels out and both are dropped; one left standing becomes a copy-mode op in the colour
/// it gives over the background (its colour XOR the background of the last clear).
[[nodiscard]] common::DisplayList withoutXor(const common::DisplayList &ops);

} // namespace qv::platform::qt
