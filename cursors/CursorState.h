#pragma once
#include "common/Rgb.h"

#include <cstdint>

namespace qv::cursors {

/// The two screen cursors: whether each is drawn, their positions in whole twips of the scope
/// screen, and the pen colour of their lines. The shown flags serve both kinds of cursor, as only
/// one kind is in use at a time.
struct CursorState {
    std::int16_t Cursor1Shown = 0;
    std::int16_t Cursor2Shown = 0;
    std::int16_t TimeCursor1X = 0;
    std::int16_t TimeCursor2X = 0;
    std::int16_t LevelCursor1Y = 0;
    std::int16_t LevelCursor2Y = 0;
    common::Rgb CursorPenColor = common::kCyan;
};

} // namespace qv::cursors
