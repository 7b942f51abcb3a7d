#include "platform/PngFile.h"

#include <zlib.h>

#include <vector>

namespace qv::platform {
namespace {

constexpr int kLevel = 3;
constexpr std::uint8_t kFilterUp = 2;

void put32(std::string &out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

/// Length, type, data and the CRC of type and data.
void chunk(std::string &out, const char *type, const std::string &data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t from = out.size();
    out.append(type, 4);
    out += data;
    const auto *bytes = reinterpret_cast<const Bytef *>(out.data() + from);
    put32(out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - from))));
}

/// The filtered rows: a filter byte, then each byte less the one above it (the first row's
/// "above" is zero).
std::vector<std::uint8_t> upRows(int width, int height, std::span<const std::uint32_t> pixels,
                                 std::size_t stride) {
    const std::size_t rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(height));
    std::uint32_t none = 0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *out = rows.data() + rowBytes * static_cast<std::size_t>(y);
        *out++ = kFilterUp;
        const std::uint32_t *row = pixels.data() + stride * static_cast<std::size_t>(y);
        const std::uint32_t *above = y > 0 ? row - stride : &none;
        const std::size_t step = y > 0 ? 1 : 0;
        for (int x = 0; x < width; ++x, above += step) {
            const std::uint32_t p = row[x], q = *above;
            *out++ = static_cast<std::uint8_t>((p >> 16) - (q >> 16));
            *out++ = static_cast<std::uint8_t>((p >> 8) - (q >> 8));
            *out++ = static_cast<std::uint8_t>(p - q);
        }
    }
    return rows;
}

} // namespace

std::string pngFile(int width, int height, std::span<const std::uint32_t> pixels,
                    std::size_t stride, int pixelsPerMetre) {
    const std::vector<std::uint8_t> rows = upRows(width, height, pixels, stride);
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef *>(packed.data()), &packedSize, rows.data(),
                  static_cast<uLong>(rows.size()), kLevel) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no interlace
    std::string resolution;
    put32(resolution, static_cast<std::uint32_t>(pixelsPerMetre));
    put32(resolution, static_cast<std::uint32_t>(pixelsPerMetre));
    resolution.push_back('\x01'); // per metre

    std::string out("\x89PNG\r\n\x1a\n", 8);
    chunk(out, "IHDR", header);
    chunk(out, "pHYs", resolution);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

} // namespace qv::platform
