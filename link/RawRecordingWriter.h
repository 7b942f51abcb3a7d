#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace qv::link {

/// Writes a raw recording (see RawRecording.h). Every record goes to the system at once, so a
/// crash loses nothing that was written. After the first failed write (a full disk) the writer
/// stops and keeps the reason.
class RawRecordingWriter {
  public:
    RawRecordingWriter() = default;
    ~RawRecordingWriter();
    RawRecordingWriter(const RawRecordingWriter &) = delete;
    RawRecordingWriter &operator=(const RawRecordingWriter &) = delete;

    /// Creates the file (replacing one of the same name) and writes the header line with note.
    [[nodiscard]] bool open(const std::string &path, const std::string &note);
    /// Writes the bytes received at ms, in records of at most 65535 bytes; false once failed.
    [[nodiscard]] bool write(std::uint32_t ms, std::span<const std::uint8_t> bytes);
    void close();
    [[nodiscard]] bool failed() const { return !error_.empty(); }
    [[nodiscard]] const std::string &error() const { return error_; }

  private:
    [[nodiscard]] bool fail(const char *what);

    std::FILE *file_ = nullptr;
    std::string path_, error_;
};

} // namespace qv::link
