#include "output/LineFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qv::output {
namespace {

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

} // namespace

std::size_t wholeLinesLength(std::string_view text) {
    const std::size_t last = text.rfind('\n');
    return last == std::string_view::npos ? 0 : last + 1;
}

LineFile::~LineFile() {
    if (own_)
        ::close(fd_);
}

std::unique_ptr<LineFile> LineFile::open(const std::string &path, std::string_view firstLine,
                                         std::string &error) {
    if (path == "-")
        return std::unique_ptr<LineFile>(new LineFile(STDOUT_FILENO, false, 0));
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + path + ": " + reason(errno);
        return nullptr;
    }
    struct stat st {};
    long long kept = ::fstat(fd, &st) == 0 ? endOfWholeLines(fd, st.st_size) : -1;
    if (kept < 0 || (kept < st.st_size && ::ftruncate(fd, kept) != 0)) {
        error = "cannot continue " + path + ": " + reason(errno);
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<LineFile> file(new LineFile(fd, true, kept));
    file->continued_ = kept > 0;
    if (kept == 0 && !file->append(firstLine, error)) {
        error = "cannot write " + path + ": " + error;
        return nullptr;
    }
    return file;
}

bool LineFile::append(std::string_view line, std::string &error) {
    ssize_t n;
    do
        n = ::write(fd_, line.data(), line.size());
    while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(line.size())) {
        size_ += n;
        return true;
    }
    int why = errno;
    if (n >= 0) {
        // Part of the line went out: learn why the rest does not, then take the part back.
        const ssize_t more = ::write(fd_, line.data() + n, line.size() - static_cast<size_t>(n));
        why = more < 0 ? errno : ENOSPC;
    }
    if (own_)
        (void)::ftruncate(fd_, size_);
    error = reason(why);
    return false;
}

void LineFile::sync() {
    if (own_)
        (void)::fdatasync(fd_);
}

} // namespace qv::output
