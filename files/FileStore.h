#pragma once
#include "platform/FileOutput.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::files {

/// Whole-file reads and writes. Paths are the system's bytes (UTF-8 on most systems, but any name
/// the system allows works).
class FileStore {
  public:
    /// Reads no more than this many bytes of a file opened for reading.
    static constexpr std::size_t kReadLimit = 16 * 1024 * 1024;

    using WriteResult = platform::FileOutput::Result;

    /// Whether the path names something (a link is followed: a dangling one names nothing).
    [[nodiscard]] static bool exists(const std::string &path);

    /// The beginning of a file, read until it holds at least `lines` complete lines, the file
    /// ends, or `limit` bytes were read (then cut after the last complete line). nullopt when the
    /// path is not a regular file (a folder, a pipe, a device) or cannot be opened or read.
    [[nodiscard]] static std::optional<std::string> readLines(const std::string &path, int lines,
                                                              std::size_t limit = kReadLimit);

    /// Writes the bytes as the file's whole new content by the rules of platform::FileOutput
    /// (an existing file is replaced only by a complete new one; a device or FIFO is written
    /// into; a link keeps pointing at its replaced target), waiting for the disk unless told not.
    [[nodiscard]] static WriteResult write(const std::string &path, std::string_view bytes,
                                           bool syncToDisk = true);
};

} // namespace qv::files
