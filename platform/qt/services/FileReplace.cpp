#include "platform/qt/services/FileReplace.h"

#include <QSaveFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qv::platform::qt {
namespace {

ReplaceResult synced(const std::string &path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString().toStdString()};
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        ReplaceResult failed{false, file.errorString().toStdString()};
        file.cancelWriting();
        return failed;
    }
    if (!file.commit())
        return {false, file.errorString().toStdString()};
    return {true, {}};
}

ReplaceResult failure(const std::string &temporary) {
    ReplaceResult failed{false, std::strerror(errno)};
    if (!temporary.empty())
        ::unlink(temporary.c_str());
    return failed;
}

} // namespace

ReplaceResult replaceFile(const std::string &path, std::string_view bytes, bool syncToDisk) {
    if (path.empty())
        return {false, "empty file name"};
    if (syncToDisk)
        return synced(path, bytes);
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    // Created with the usual permissions (0666 less the umask), as a new file would be.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure({});
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            const int error = errno;
            ::close(fd);
            errno = error;
            return failure(temporary);
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0)
        return failure(temporary);
    return {true, {}};
}

} // namespace qv::platform::qt
