#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

namespace qv::platform {

struct OutputTarget;

/// Writes all bytes to a descriptor, going on after short and interrupted writes: 0 when all
/// went, else the errno of the write that failed (ENOSPC for one that took nothing).
[[nodiscard]] int writeAll(int fd, std::string_view bytes);

/// A file's new content, written by the rules every output of the program follows:
/// - A regular file, or a name not taken yet, is replaced: the bytes go into a temporary file
///   beside it that takes its name at commit(), so a reader sees the old or the new file and a
///   failure leaves the old one as it was. The new file keeps the old one's permissions and,
///   where the process may, its owner and group; a new file gets 0666 less the umask. A file that
///   may not be written is refused. A file that may be written in a folder that takes no new
///   file is written in place (then a failure for want of room still leaves it as it was).
/// - A device, FIFO or socket is written into, never replaced; so is one of this process's own
///   descriptors (/dev/stdout, /dev/fd/N), at its position.
/// - A symbolic link is followed to its end, a relative one from its own folder; its target is
///   replaced (a dangling link's target is created) and the link stays.
/// Paths are byte strings as the system takes them; reasons are the system's (strerror).
class FileOutput {
  public:
    struct Result {
        bool ok = false;
        std::string reason; ///< why it failed, from the system
    };
    /// What commit() leaves: a whole file closed, or a stream (a recording) open for more.
    enum class After { Close, KeepWriting };

    FileOutput() = default;
    ~FileOutput() { close(); }
    FileOutput(const FileOutput &) = delete;
    FileOutput &operator=(const FileOutput &) = delete;

    /// Opens `path` for its new content. A FIFO waits here for its reader, as a shell does.
    [[nodiscard]] Result open(const std::string &path);
    /// Writes all the bytes; a failure closes the output and drops what it held.
    [[nodiscard]] Result write(std::string_view bytes);
    /// Makes the bytes written so far the file's content. With syncToDisk they reach the disk
    /// first, and a replaced file's folder after it. With KeepWriting later writes append.
    [[nodiscard]] Result commit(bool syncToDisk, After after = After::Close);
    /// Closes; a content not committed is dropped (the old file stays as it was).
    void close();
    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }

    /// The whole new content of `path`: open, write and commit.
    [[nodiscard]] static Result replace(const std::string &path, std::string_view bytes,
                                        bool syncToDisk);

  private:
    /// Replace: a temporary file not yet renamed; Overwrite: a regular file written in place;
    /// Stream: written into (a device, a FIFO, a descriptor, or a committed file).
    enum class Way { Replace, Overwrite, Stream };

    [[nodiscard]] Result fail(int error);
    [[nodiscard]] Result fail(const std::string &reason);
    [[nodiscard]] Result openTemporary(const OutputTarget &target);
    [[nodiscard]] Result openInPlace(const std::string &path, Way way);
    [[nodiscard]] Result reserve(off_t end);
    [[nodiscard]] Result commitReplace(bool syncToDisk, After after);
    /// Closes the descriptor: 0, or the errno of a failure (some file systems report a failed
    /// write only here, an interrupted close included: whether the data went is unknown).
    [[nodiscard]] int closeNow();

    int fd_ = -1;
    Way way_ = Way::Stream;
    std::string target_, temporary_;
    off_t kept_ = 0; ///< Overwrite: the bytes of the old file that a failure keeps
    off_t written_ = 0;
};

} // namespace qv::platform
