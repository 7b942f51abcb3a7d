#pragma once
#include "platform/FileOutput.h"

#include <cstdint>
#include <span>
#include <string>

namespace qv::link {

/// Writes a raw recording (see RawRecording.h). Every record goes to the system at once, so a
/// crash loses nothing that was written. After the first failed write (a full disk) the writer
/// stops and keeps the reason.
///
/// The file follows the program's output rules (platform::FileOutput): an old recording of the
/// same name is replaced, keeping its permissions, only once the new header is written, so a
/// recording that cannot start leaves it as it was; a FIFO or a device (/dev/null) is written
/// into; a symbolic link keeps pointing at the new recording.
class RawRecordingWriter {
  public:
    /// Creates the file (replacing one of the same name) and writes the header line with note.
    [[nodiscard]] bool open(const std::string &path, const std::string &note);
    /// Writes the bytes received at ms, in records of at most 65535 bytes; false once failed.
    [[nodiscard]] bool write(std::uint32_t ms, std::span<const std::uint8_t> bytes);
    void close() { file_.close(); }
    [[nodiscard]] bool failed() const { return !error_.empty(); }
    [[nodiscard]] const std::string &error() const { return error_; }

  private:
    [[nodiscard]] bool fail(const char *what, const std::string &reason);

    platform::FileOutput file_;
    std::string path_, error_;
};

} // namespace qv::link
