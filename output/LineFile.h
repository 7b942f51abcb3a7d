#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace qv::output {

/// A text file that grows by whole lines and survives a crash: each line goes to the system in
/// one write() as soon as it is taken, so a killed process leaves every line written before it,
/// and a write that fails half-way (a full disk, a file-size limit) is cut back, so the file
/// always ends on a whole line.
///
/// Opening only looks: nothing in the file changes before the first line is appended (and a
/// file that open made is removed again by discard). A file that exists is continued after its
/// last line; a last line without its line end (a crash or a power cut during its write) is
/// first mended as the caller says. A pipe or a character device (a FIFO, /dev/null,
/// /dev/stdout on a terminal, "-") is written in place: nothing is read from it or cut.
class LineFile {
  public:
    struct Options {
        /// The first line, with its line end: written into a new or empty file (or completed when
        /// the file holds only its beginning). A file that holds more must begin with it (with
        /// "\r\n" or "\n"), else it is refused as it is. Empty: any file is continued.
        std::string firstLine;
        /// Given an existing last line without its line end (and without a '\r' at its end),
        /// the text that takes its place, with a line end. Null: the last line is cut off.
        std::function<std::string(std::string_view)> mendTail;
    };

    ~LineFile();
    LineFile(const LineFile &) = delete;
    LineFile &operator=(const LineFile &) = delete;

    /// Opens or creates path for appending ("-": standard output). Null with the reason in error
    /// (naming path): it cannot be opened, or it is a file of another kind.
    [[nodiscard]] static std::unique_ptr<LineFile> open(const std::string &path,
                                                        const Options &options, std::string &error);

    /// Writes one whole line (with its line end); the first call also writes the first line or
    /// mends a cut last line. false with the reason in error; the file then ends as it did
    /// before the call.
    [[nodiscard]] bool append(std::string_view line, std::string &error);
    /// Asks the system to put what was written on the disk (against a power cut).
    void sync();
    /// Whether open found a file that already held lines.
    [[nodiscard]] bool continued() const { return continued_; }
    /// Nothing will be written: a file that open created is removed; any other is left as it is.
    void discard();

  private:
    LineFile(int fd, bool own, bool regular) : fd_(fd), own_(own), regular_(regular) {}
    /// What open left for the first append: the first line or the mended last line.
    [[nodiscard]] bool begin(std::string &error);

    std::string path_;
    int fd_;
    bool own_;           ///< the descriptor is closed with the file
    bool regular_;       ///< a regular file: read, cut back and synced; else written in place
    long long size_ = 0; ///< bytes of whole lines in the file
    std::string firstLinePart_; ///< still to write of the first line
    long long tailAt_ = -1;     ///< where the last line without its line end begins (-1: none)
    std::string tailMended_;    ///< what takes its place
    bool begun_ = false, created_ = false, continued_ = false;
};

/// The length of text up to and including its last '\n' (0 when it has none).
[[nodiscard]] std::size_t wholeLinesLength(std::string_view text);

} // namespace qv::output
