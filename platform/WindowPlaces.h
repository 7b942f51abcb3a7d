#pragma once
#include <optional>
#include <string>

namespace qv::platform {

/// A window's place on the desktop in pixels: its top-left corner and size.
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;

    [[nodiscard]] int right() const { return x + width; }
    [[nodiscard]] int bottom() const { return y + height; }
    bool operator==(const WindowPlace &) const = default;
};

/// Where the user left the program's windows, kept between runs, by a window's name.
class WindowPlaces {
  public:
    virtual ~WindowPlaces() = default;
    [[nodiscard]] virtual std::optional<WindowPlace> recall(const std::string &window) const = 0;
    virtual void remember(const std::string &window, const WindowPlace &place) = 0;
};

} // namespace qv::platform
