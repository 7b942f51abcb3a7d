#include "output/LineFile.h"

#include "platform/FileOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qv::output {
namespace {

/// A last line without its line end longer than this is not read in: the file is refused.
constexpr long long kMaxTail = 1 << 20;

std::string reason(int error) {
    return error == EFBIG ? std::string("the file-size limit was reached (File too large)")
                          : std::string(std::strerror(error));
}

/// Where the file's whole lines end: after its last '\n', looked for from the end backwards.
long long endOfWholeLines(int fd, long long size) {
    std::vector<char> chunk(65536);
    long long end = size;
    while (end > 0) {
        const long long start = std::max(0LL, end - static_cast<long long>(chunk.size()));
        const auto want = static_cast<std::size_t>(end - start);
        if (::pread(fd, chunk.data(), want, start) != static_cast<ssize_t>(want))
            return -1;
        const std::size_t kept = wholeLinesLength({chunk.data(), want});
        if (kept > 0)
            return start + static_cast<long long>(kept);
        end = start;
    }
    return 0;
}

/// n bytes from offset at, or nullopt when they cannot be read.
std::optional<std::string> readAt(int fd, long long at, long long n) {
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (::pread(fd, bytes.data(), bytes.size(), at) != static_cast<ssize_t>(bytes.size()))
        return std::nullopt;
    return bytes;
}

constexpr std::string_view kCrLf = "\r\n";

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::size_t wholeLinesLength(std::string_view text) {
    const std::size_t last = text.rfind('\n');
    return last == std::string_view::npos ? 0 : last + 1;
}

LineFile::~LineFile() {
    if (own_)
        ::close(fd_);
}

std::unique_ptr<LineFile> LineFile::open(const std::string &path, const Options &options,
                                         std::string &error) {
    if (path == "-") {
        std::unique_ptr<LineFile> out(new LineFile(STDOUT_FILENO, false, false));
        out->firstLinePart_ = options.firstLine;
        return out;
    }
    const auto failed = [&](const std::string &what, int why) {
        error = what + " " + path + ": " + reason(why);
        return nullptr;
    };
    // A new file is known as new (O_EXCL), so that discard may remove it again.
    bool created = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    struct stat st {};
    if (fd < 0 && errno == EEXIST) {
        created = false;
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            // A pipe or a device: written in place, as a shell's redirection would.
            fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
            if (fd < 0)
                return failed("cannot write", errno);
            std::unique_ptr<LineFile> out(new LineFile(fd, true, false));
            out->firstLinePart_ = options.firstLine;
            return out;
        }
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    if (fd < 0)
        return failed("cannot write", errno);
    std::unique_ptr<LineFile> file(new LineFile(fd, true, true));
    file->path_ = path;
    file->created_ = created;
    if (::fstat(fd, &st) != 0)
        return failed("cannot continue", errno);
    const long long size = st.st_size;

    // The first line: the file is empty or holds its beginning, or holds it whole, or is refused.
    const std::string &first = options.firstLine;
    const std::string_view header = withoutLineEnd(first);
    if (!first.empty()) {
        // The first line and its line end, as far as the file goes.
        const long long want =
            std::min<long long>(size, static_cast<long long>(header.size() + kCrLf.size()));
        const std::optional<std::string> start = readAt(fd, 0, want);
        if (!start)
            return failed("cannot continue", errno);
        if (size <= static_cast<long long>(first.size()) && first.starts_with(*start)) {
            file->firstLinePart_ = first.substr(start->size());
            file->size_ = size;
            return file;
        }
        const std::string_view rest =
            std::string_view(*start).substr(std::min(start->size(), header.size()));
        if (!start->starts_with(header) || !(rest.starts_with(kCrLf) || rest.starts_with("\n"))) {
            error = "cannot append to " + path + ": its first line is not \"" +
                    std::string(header) + "\" (a file of another kind is left as it is)";
            return nullptr;
        }
    }

    // A last line without its line end is mended (or cut) by the first append.
    const long long kept = endOfWholeLines(fd, size);
    if (kept < 0)
        return failed("cannot continue", errno);
    file->continued_ = kept > 0;
    file->size_ = size;
    if (kept == size)
        return file;
    if (size - kept > kMaxTail) {
        error = "cannot continue " + path + ": its last " + std::to_string(size - kept) +
                " bytes have no line end";
        return nullptr;
    }
    const std::optional<std::string> tail = readAt(fd, kept, size - kept);
    if (!tail)
        return failed("cannot continue", errno);
    std::string_view cut = *tail;
    if (cut.ends_with('\r'))
        cut.remove_suffix(1);
    file->tailAt_ = kept;
    file->tailMended_ = options.mendTail ? options.mendTail(cut) : std::string();
    return file;
}

bool LineFile::begin(std::string &error) {
    if (tailAt_ >= 0) {
        // Written over the old last line in one write, so a crash now leaves it or its mended
        // form, never neither.
        if (!tailMended_.empty()) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
            ssize_t n = -1;
            if (fd >= 0) {
                n = ::pwrite(fd, tailMended_.data(), tailMended_.size(), tailAt_);
                ::close(fd);
            }
            if (n != static_cast<ssize_t>(tailMended_.size())) {
                error = reason(n < 0 ? errno : ENOSPC);
                return false;
            }
        }
        const long long end = tailAt_ + static_cast<long long>(tailMended_.size());
        if (::ftruncate(fd_, end) != 0) {
            error = reason(errno);
            return false;
        }
        size_ = end;
        tailAt_ = -1;
    }
    if (!firstLinePart_.empty()) {
        if (const int why = platform::writeAll(fd_, firstLinePart_); why != 0) {
            if (regular_)
                (void)::ftruncate(fd_, size_);
            error = reason(why);
            return false;
        }
        size_ += static_cast<long long>(firstLinePart_.size());
        firstLinePart_.clear();
    }
    begun_ = true;
    return true;
}

bool LineFile::append(std::string_view line, std::string &error) {
    if (!begun_ && !begin(error))
        return false;
    if (const int why = platform::writeAll(fd_, line); why != 0) {
        if (regular_)
            (void)::ftruncate(fd_, size_);
        error = reason(why);
        return false;
    }
    size_ += static_cast<long long>(line.size());
    return true;
}

void LineFile::sync() {
    if (regular_)
        (void)::fdatasync(fd_);
}

void LineFile::discard() {
    if (created_ && !begun_)
        (void)::unlink(path_.c_str());
}

} // namespace qv::output
