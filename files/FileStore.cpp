#include "files/FileStore.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::files {
namespace {

/// A descriptor closed when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

/// Up to `room` bytes, the count read or -1; an interrupted read goes on.
ssize_t readSome(int fd, char *into, std::size_t room) {
    ssize_t got;
    while ((got = ::read(fd, into, room)) < 0 && errno == EINTR) {
    }
    return got;
}

} // namespace

bool FileStore::exists(const std::string &path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::optional<std::string> FileStore::readLines(const std::string &path, int lines,
                                                std::size_t limit) {
    // Only regular files: opening a pipe could wait for ever, opening a serial device raises its
    // lines. Checked again on what was opened, in case the name changed in between.
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // A line takes at most two line-end characters (CR LF), so this many of them means the
    // lines wanted are all in.
    const std::size_t endsWanted = static_cast<std::size_t>(std::max(lines, 0)) * 2;
    std::size_t ends = 0;
    std::string data;
    char chunk[65536];
    while (ends < endsWanted && data.size() < limit) {
        const ssize_t got = readSome(file.fd, chunk, std::min(sizeof chunk, limit - data.size()));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return data;
        ends += static_cast<std::size_t>(
            std::count_if(chunk, chunk + got, [](char c) { return c == '\r' || c == '\n'; }));
        data.append(chunk, static_cast<std::size_t>(got));
    }
    if (ends >= endsWanted || readSome(file.fd, chunk, 1) == 0)
        return data;
    // Stopped by the limit inside a line: that line is incomplete.
    const std::size_t lastEnd = data.find_last_of("\r\n");
    data.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    return data;
}

FileStore::WriteResult FileStore::write(const std::string &path, std::string_view bytes,
                                        bool syncToDisk) {
    return platform::FileOutput::replace(path, bytes, syncToDisk);
}

} // namespace qv::files
