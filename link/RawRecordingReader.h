#pragma once
#include "link/RawRecordSource.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace qv::link {

/// A raw recording read as a stream. Opening reads the header line and walks the records' heads
/// once, so it is known at once how many whole records there are and how many bytes at the end
/// make none (the writer died mid-record); the records are then read one at a time as the
/// replay takes them, up to the last whole one found at opening. Memory stays a read buffer and
/// one record, whatever the recording's length.
class RawRecordingReader final : public RawRecordSource {
  public:
    /// Reads from in, which must be able to go back to where the records begin (a file, a
    /// string). nullptr with the reason in error when the header line is not there.
    [[nodiscard]] static std::unique_ptr<RawRecordingReader> open(std::unique_ptr<std::istream> in,
                                                                  std::string &error);
    /// Opens a file; one that cannot go back (a pipe) is read into memory first. nullptr with the
    /// reason in error, naming path.
    [[nodiscard]] static std::unique_ptr<RawRecordingReader> open(const std::string &path,
                                                                  std::string &error);

    const RawRecord *peek() override;
    void take() override;
    std::size_t size() const override { return records_; }
    const std::string &note() const override { return note_; }
    /// The last record was cut short: the records before it are all there.
    [[nodiscard]] bool truncated() const { return cutBytes_ > 0; }
    /// How many bytes at the end make no whole record.
    [[nodiscard]] std::size_t cutBytes() const { return cutBytes_; }

  private:
    explicit RawRecordingReader(std::unique_ptr<std::istream> in);
    /// Up to n bytes into to (null: skipped); how many there were.
    std::size_t read(std::uint8_t *to, std::size_t n);
    [[nodiscard]] bool readHeader(std::string &error);
    void walk();

    std::unique_ptr<std::istream> in_;
    std::vector<char> buffer_;
    std::size_t at_ = 0, end_ = 0; ///< what of buffer_ is still to read
    std::streamoff recordsAt_ = 0; ///< where the first record begins
    std::string note_;
    std::size_t records_ = 0, cutBytes_ = 0;
    std::size_t left_ = 0; ///< whole records not yet taken
    RawRecord next_;
    bool loaded_ = false;
};

} // namespace qv::link
