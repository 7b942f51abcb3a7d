#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace qv::platform {

/// A PNG file of an RGB picture of 8 bits a colour: each row filtered as "up" (a screen's rows
/// mostly repeat the row above, which then packs to little), zlib at level 3, and the resolution
/// in pixels per metre. As small as Qt's own writer makes it, in a third of the time: Qt's tries
/// five filters on every row. pixels: height rows of width values 0x··RRGGBB (the top byte is not
/// read), a row starting every stride values. Empty if zlib fails (no memory).
[[nodiscard]] std::string pngFile(int width, int height, std::span<const std::uint32_t> pixels,
                                  std::size_t stride, int pixelsPerMetre);

} // namespace qv::platform
