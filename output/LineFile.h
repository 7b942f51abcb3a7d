#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace qv::output {

/// A text file that grows by whole lines and survives a crash: each line goes to the system in
/// one write() as soon as it is taken, so a killed process leaves every line written before it,
/// and a write that fails half-way (a full disk, a file-size limit) is cut back, so the file
/// always ends on a whole line. Opening a file that exists continues after its last whole line
/// (a torn tail from an earlier crash is cut off).
class LineFile {
  public:
    ~LineFile();
    LineFile(const LineFile &) = delete;
    LineFile &operator=(const LineFile &) = delete;

    /// Opens or creates path for appending ("-": standard output, never cut). firstLine (with
    /// its line end) is written when the file is new or empty. Null with the reason in error.
    [[nodiscard]] static std::unique_ptr<LineFile>
    open(const std::string &path, std::string_view firstLine, std::string &error);

    /// Writes one whole line (with its line end). false with the reason in error; the file then
    /// ends as it did before the call.
    [[nodiscard]] bool append(std::string_view line, std::string &error);
    /// Asks the system to put what was written on the disk (against a power cut).
    void sync();
    /// Whether open continued a file that already held lines.
    [[nodiscard]] bool continued() const { return continued_; }

  private:
    LineFile(int fd, bool own, long long size) : fd_(fd), own_(own), size_(size) {}

    int fd_;
    bool own_;
    long long size_; ///< bytes of whole lines in the file
    bool continued_ = false;
};

/// The length of text up to and including its last '\n' (0 when it has none).
[[nodiscard]] std::size_t wholeLinesLength(std::string_view text);

} // namespace qv::output
