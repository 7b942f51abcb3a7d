#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::files {

/// Whole-file reads and writes, paths in UTF-8.
class FileStore {
  public:
    /// Reads no more than this many bytes of a file opened for reading.
    static constexpr std::size_t kReadLimit = 16 * 1024 * 1024;

    struct WriteResult {
        bool ok = false;
        std::string reason; ///< why it failed, from the system
    };

    [[nodiscard]] static bool exists(const std::string &path);

    /// The beginning of a file, read until it holds at least `lines` complete lines, the file
    /// ends, or `limit` bytes were read (then cut after the last complete line). nullopt when the
    /// path is not a regular file (a folder, a pipe, a device) or cannot be opened or read.
    [[nodiscard]] static std::optional<std::string> readLines(const std::string &path, int lines,
                                                              std::size_t limit = kReadLimit);

    /// Writes the bytes as the file's whole new content through a temporary file that replaces
    /// the old one only when everything was written: a failure leaves an existing file as it was.
    [[nodiscard]] static WriteResult write(const std::string &path, std::string_view bytes);
};

} // namespace qv::files
