#pragma once
#include <cstdint>

namespace qv::common {

/// A colour as the drawing operations take it: 8-bit red, green and blue.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGrid{192, 192, 192};
constexpr Rgb kProgress{0, 192, 192};

} // namespace qv::common
