#pragma once
#include "common/DrawingTarget.h"
#include "common/Form.h"
#include "cursors/CursorState.h"

#include <string>

namespace qv::output {

/// Draws the shown cursors of a cursor mode on a page as black lines of pen width 5 in copy mode
/// (paper has no XOR), leaving the page's colour black: mode 1 vertical lines from ScreenTop to
/// ScreenBottom, mode 2 horizontal lines from ScreenLeft to ScreenRight; nothing for any other
/// mode.
void drawPageCursors(const common::ScreenGeometry &geo, const cursors::CursorState &state,
                     int cursorMode, common::DrawingTarget &page);

/// Prints a text at (x, y), the y position set first, followed by a line end.
void printAt(common::DrawingTarget &page, double x, double y, const std::string &text);

} // namespace qv::output
