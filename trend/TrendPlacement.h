#pragma once
#include "platform/WindowPlaces.h"

#include <optional>

namespace qv::trend {

using platform::WindowPlace;

/// Where the trend window opens, as frame rectangles on the screen's free area (`screen`):
/// beside the main window, to its right (narrowed to no less than three quarters of the width
/// asked for) or else below it, at the size asked for or, in the larger of those rooms, at least
/// the least size (kMinWidth × kMinHeight, or the window's own minimum where that is larger).
/// Without such room it takes the screen right of the main window's middle, or as little more
/// as its least width needs (left of it when the main window stands at the right), so the main
/// window's menus and scope screen stay in view. Never larger than the screen.
[[nodiscard]] WindowPlace besideMain(WindowPlace main, WindowPlace screen, int width, int height,
                                     int leastWidth = 0, int leastHeight = 0);

/// A remembered place made to fit the screen: no larger than it and wholly on it. nullopt when
/// it would then cover more than half of the main window (a place left at another screen size),
/// so the window opens beside the main window instead.
[[nodiscard]] std::optional<WindowPlace> remembered(WindowPlace place, WindowPlace main,
                                                    WindowPlace screen);

inline constexpr int kMinWidth = 320, kMinHeight = 240;

} // namespace qv::trend
