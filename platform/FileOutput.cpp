#include "platform/FileOutput.h"

#include "platform/OutputTarget.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qv::platform {
namespace {

/// The longest name the system takes, in bytes.
constexpr std::size_t kNameMax = 255;

std::atomic<unsigned> temporaryCount{0};

/// A temporary file cannot be made beside the file (a locked or read-only folder).
bool noNewFile(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

/// writeAll with SIGPIPE held back, so that a reader that went away fails the write (EPIPE)
/// instead of ending the program; a SIGPIPE the write raised is taken back.
int writeAllNoPipeSignal(int fd, std::string_view bytes) {
    sigset_t pipe, old, pending;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
    const int error = writeAll(fd, bytes);
    sigpending(&pending);
    if (!wasPending && sigismember(&pending, SIGPIPE) == 1) {
        const timespec none{};
        while (sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return error;
}

void syncFolder(const std::string &path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The file itself is on the disk; a folder that cannot be synced keeps the old name a
    // little longer after a power cut, which loses nothing.
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace

int writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

FileOutput::Result FileOutput::fail(int error) {
    return fail(std::string(std::strerror(error)));
}

FileOutput::Result FileOutput::fail(const std::string &reason) {
    close();
    return {false, reason};
}

FileOutput::Result FileOutput::open(const std::string &path) {
    close();
    if (path.empty())
        return {false, "empty file name"};
    const OutputTarget target = OutputTarget::of(path);
    using Kind = OutputTarget::Kind;
    switch (target.kind) {
    case Kind::Failed:
        return fail(target.error);
    case Kind::Folder:
        return fail(EISDIR);
    case Kind::Descriptor:
        fd_ = ::fcntl(target.descriptor, F_DUPFD_CLOEXEC, 0);
        return fd_ < 0 ? fail(errno) : Result{true, {}};
    case Kind::Special:
        return openInPlace(target.path, Way::Stream);
    case Kind::Regular:
        // A file its owner made read-only is not replaced behind its back.
        if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)
            return fail(errno);
        return openTemporary(target);
    case Kind::Missing:
        return openTemporary(target);
    }
    return fail(EINVAL);
}

FileOutput::Result FileOutput::openTemporary(const OutputTarget &target) {
    const bool existing = target.kind == OutputTarget::Kind::Regular;
    const std::filesystem::path whole(target.path);
    const std::string name = whole.filename().string();
    const std::string pid = std::to_string(::getpid());
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        // As much of the old name as fits before ".~" and two numbers.
        const std::string suffix = ".~" + pid + "-" + std::to_string(temporaryCount++);
        const std::string temporary =
            whole.parent_path() / (name.substr(0, kNameMax - suffix.size()) + suffix);
        // The copy of an old file is never open to more than the old file (the umask may take
        // permissions away: they are set again below).
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                              existing ? target.mode & 0777 : 0666);
        if (fd < 0) {
            error = errno;
            continue;
        }
        fd_ = fd;
        way_ = Way::Replace;
        temporary_ = temporary;
        target_ = target.path;
        break;
    }
    if (fd_ < 0)
        return existing && noNewFile(error) ? openInPlace(target.path, Way::Overwrite)
                                            : fail(error);
    if (!existing)
        return {true, {}};
    struct stat made {};
    if (::fstat(fd_, &made) != 0)
        return fail(errno);
    // Owner and group first (a change of owner clears the set-id bits), the group alone when
    // the process may not give the file away (else the new file stays the process's own); then
    // the permissions, only where they differ: some file systems refuse any chmod.
    const bool given = made.st_uid != target.owner || made.st_gid != target.group;
    if (given && ::fchown(fd_, target.owner, target.group) != 0)
        (void)::fchown(fd_, static_cast<uid_t>(-1), target.group);
    if ((given || (made.st_mode & 07777) != target.mode) && ::fchmod(fd_, target.mode) != 0)
        return fail(errno);
    return {true, {}};
}

FileOutput::Result FileOutput::openInPlace(const std::string &path, Way way) {
    // No O_TRUNC: a regular file is cut to its new length at commit(), a device never.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(errno);
    fd_ = fd;
    way_ = way;
    target_ = path;
    if (way == Way::Overwrite) {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            return fail(errno);
        kept_ = st.st_size;
    }
    return {true, {}};
}

FileOutput::Result FileOutput::reserve(off_t end) {
    // Room for the bytes about to be written (a no-op where the old file has them).
    int error;
    while ((error = ::posix_fallocate(fd_, written_, end - written_)) == EINTR) {
    }
    // A file system that cannot reserve room is written all the same.
    if (error == 0 || error == EINVAL || error == EOPNOTSUPP)
        return {true, {}};
    // No room: what the attempt added goes again, and the old bytes were not touched.
    if (::ftruncate(fd_, std::max(kept_, written_)) != 0) {
        // The file keeps its old bytes and some room at its end.
    }
    return fail(error);
}

FileOutput::Result FileOutput::write(std::string_view bytes) {
    if (fd_ < 0)
        return {false, std::strerror(EBADF)};
    const off_t end = written_ + static_cast<off_t>(bytes.size());
    if (way_ == Way::Overwrite)
        if (Result reserved = reserve(end); !reserved.ok)
            return reserved;
    const int error = way_ == Way::Stream ? writeAllNoPipeSignal(fd_, bytes) : writeAll(fd_, bytes);
    if (error != 0)
        return fail(error);
    written_ = end;
    return {true, {}};
}

FileOutput::Result FileOutput::commitReplace(bool syncToDisk, After after) {
    if (syncToDisk && ::fsync(fd_) != 0)
        return fail(errno);
    if (after == After::Close)
        if (const int error = closeNow(); error != 0)
            return fail(error);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temporary_.clear();
    if (syncToDisk)
        syncFolder(target_);
    way_ = Way::Stream;
    return {true, {}};
}

FileOutput::Result FileOutput::commit(bool syncToDisk, After after) {
    if (fd_ < 0)
        return {false, std::strerror(EBADF)};
    if (way_ == Way::Replace)
        return commitReplace(syncToDisk, after);
    if (way_ == Way::Overwrite && ::ftruncate(fd_, written_) != 0)
        return fail(errno);
    way_ = Way::Stream;
    // A pipe or a device has no disk to wait for (EINVAL).
    if (syncToDisk && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno);
    if (after == After::Close)
        if (const int error = closeNow(); error != 0)
            return fail(error);
    return {true, {}};
}

int FileOutput::closeNow() {
    return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
}

void FileOutput::close() {
    (void)closeNow(); // with none open, EBADF and nothing else
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    way_ = Way::Stream;
    temporary_.clear();
    target_.clear();
    kept_ = written_ = 0;
}

FileOutput::Result FileOutput::replace(const std::string &path, std::string_view bytes,
                                       bool syncToDisk) {
    FileOutput out;
    if (Result opened = out.open(path); !opened.ok)
        return opened;
    if (Result written = out.write(bytes); !written.ok)
        return written;
    return out.commit(syncToDisk);
}

} // namespace qv::platform
