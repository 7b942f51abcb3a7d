#include "trend/TrendPlacement.h"

#include <algorithm>

namespace qv::trend {
namespace {

/// x moved so that [x, x + size) lies within [lo, hi) where it can.
int within(int x, int size, int lo, int hi) {
    return std::max(lo, std::min(x, hi - size));
}

long long overlap(const WindowPlace &a, const WindowPlace &b) {
    const long long w = std::max(0, std::min(a.right(), b.right()) - std::max(a.x, b.x));
    const long long h = std::max(0, std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y));
    return w * h;
}

} // namespace

WindowPlace besideMain(WindowPlace main, WindowPlace screen, int width, int height, int leastWidth,
                       int leastHeight) {
    width = std::min(width, screen.width);
    height = std::min(height, screen.height);
    leastWidth = std::min(std::max(leastWidth, kMinWidth), width);
    leastHeight = std::min(std::max(leastHeight, kMinHeight), height);
    const int rightRoom = screen.right() - main.right();
    const int belowRoom = screen.bottom() - main.bottom();
    const auto right = [&](int w) {
        return WindowPlace{main.right(), within(main.y, height, screen.y, screen.bottom()), w,
                           height};
    };
    const auto below = [&](int h) {
        return WindowPlace{within(main.x, width, screen.x, screen.right()), main.bottom(), width,
                           h};
    };
    // To the right while that holds three quarters of the width, else below.
    if (rightRoom >= width || (rightRoom >= leastWidth && 4 * rightRoom >= 3 * width))
        return right(std::min(width, rightRoom));
    if (belowRoom >= height)
        return below(height);
    // Smaller, in whichever room holds more of it.
    const bool rightFits = rightRoom >= leastWidth, belowFits = belowRoom >= leastHeight;
    if (rightFits && (!belowFits || static_cast<long long>(rightRoom) * height >=
                                        static_cast<long long>(belowRoom) * width))
        return right(rightRoom);
    if (belowFits)
        return below(belowRoom);
    // Over the half of the main window that holds the digits and the log.
    const int middle = main.x + main.width / 2;
    const int y = within(main.y, height, screen.y, screen.bottom());
    if (screen.right() - middle >= std::min(width, kMinWidth)) {
        const int w = std::min(width, std::max(leastWidth, screen.right() - middle));
        return {screen.right() - w, y, w, height};
    }
    return {screen.x, y, std::min(width, std::max(leastWidth, middle - screen.x)), height};
}

std::optional<WindowPlace> remembered(WindowPlace place, WindowPlace main, WindowPlace screen) {
    place.width = std::min(place.width, screen.width);
    place.height = std::min(place.height, screen.height);
    place.x = within(place.x, place.width, screen.x, screen.right());
    place.y = within(place.y, place.height, screen.y, screen.bottom());
    if (place.width <= 0 || place.height <= 0 ||
        2 * overlap(place, main) > static_cast<long long>(main.width) * main.height)
        return std::nullopt;
    return place;
}

} // namespace qv::trend
