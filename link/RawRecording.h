#pragma once
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qv::link {

/// A raw recording: every byte received from the meter with its arrival time, so a session can
/// be played through the program again. The file is a text header line, "qvlink raw 1", a blank
/// and a free note (the start time), ended by "\n"; then records of [u32 milliseconds since the
/// start][u16 length][length bytes], integers little-endian.
struct RawRecord {
    std::uint32_t ms = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const RawRecord &) const = default;
};

struct RawRecording {
    std::string note;
    std::vector<RawRecord> records;
    /// The last record was cut short (the writer crashed): the records before it are all there.
    bool truncated = false;
    /// How many bytes at the end make no whole record (0 unless truncated).
    std::size_t cutBytes = 0;
};

inline constexpr const char *kRawRecordingMagic = "qvlink raw 1";

/// Reads a whole recording into memory (a replay streams it: RawRecordingReader). A file that
/// does not start with the header line is refused: nullopt, the reason in error.
[[nodiscard]] std::optional<RawRecording> readRawRecording(std::istream &in, std::string &error);
[[nodiscard]] std::optional<RawRecording> readRawRecording(const std::string &path,
                                                           std::string &error);

} // namespace qv::link
