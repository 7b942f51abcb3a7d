// The pictures' PNG files, read back byte by byte with zlib.
#include "platform/PngFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace qv::platform {
namespace {

struct Chunk {
    std::string type, data;
};

std::vector<Chunk> chunks(const std::string &file) {
    std::vector<Chunk> out;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(file[i]); };
        const std::size_t n =
            (byte(at) << 24) | (byte(at + 1) << 16) | (byte(at + 2) << 8) | byte(at + 3);
        const std::string typeAndData = file.substr(at + 4, 4 + n);
        const auto crc = crc32(0, reinterpret_cast<const Bytef *>(typeAndData.data()),
                               static_cast<uInt>(typeAndData.size()));
        EXPECT_EQ(file.substr(at + 8 + n, 4),
                  std::string({char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)}));
        out.push_back({typeAndData.substr(0, 4), typeAndData.substr(4)});
        at += 12 + n;
    }
    return out;
}

// 3 × 2 pixels, rows of 4 (the 4th and top bytes unread): RGB rows filtered "up" (2), 0 above.
TEST(PngFile, HeaderResolutionAndRowsFilteredUp) {
    const std::vector<std::uint32_t> pixels{0x00102030, 0xFF405060, 0x00FFFFFF, 0x12345678,
                                            0x00112233, 0x00405060, 0xAA000000, 0x12345678};
    const std::string file = pngFile(3, 2, pixels, 4, 3780);
    ASSERT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const std::vector<Chunk> c = chunks(file);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].type + c[1].type + c[2].type + c[3].type, "IHDRpHYsIDATIEND");
    EXPECT_EQ(c[0].data, std::string("\0\0\0\3\0\0\0\2\x08\x02\0\0\0", 13));
    EXPECT_EQ(c[1].data, std::string("\0\0\x0e\xc4\0\0\x0e\xc4\1", 9)); // 3780 a metre: 96 dpi
    EXPECT_EQ(file.substr(file.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    std::string rows(64, '\0');
    uLongf size = rows.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef *>(rows.data()), &size,
                         reinterpret_cast<const Bytef *>(c[2].data.data()), c[2].data.size()),
              Z_OK);
    EXPECT_EQ(rows.substr(0, size), std::string("\2\x10\x20\x30\x40\x50\x60\xff\xff\xff"
                                                "\2\x01\x02\x03\0\0\0\x01\x01\x01",
                                                20));
}

} // namespace
} // namespace qv::platform
