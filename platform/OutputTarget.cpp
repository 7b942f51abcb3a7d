#include "platform/OutputTarget.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::platform {
namespace {

constexpr int kMaxLinks = 40; // as the kernel follows them

/// "/dev/fd/N", "/proc/self/fd/N" and the like naming this process's descriptor N; -1 otherwise.
int descriptorOf(const std::string &path) {
    const std::string pid = "/proc/" + std::to_string(::getpid()) + "/fd/";
    const auto folders = std::to_array<std::string_view>(
        {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/", pid});
    for (const std::string_view folder : folders) {
        if (!std::string_view(path).starts_with(folder))
            continue;
        const char *end = path.data() + path.size();
        int fd{};
        if (const auto read = std::from_chars(path.data() + folder.size(), end, fd);
            read.ec == std::errc{} && read.ptr == end)
            return fd;
    }
    return -1;
}

std::string folderOf(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

OutputTarget failed(int error) {
    OutputTarget t;
    t.error = error;
    return t;
}

/// The target of a path that is no link (any more).
OutputTarget ofFile(const std::string &path, const struct stat &st) {
    OutputTarget t;
    t.path = path;
    if (S_ISDIR(st.st_mode)) {
        t.kind = OutputTarget::Kind::Folder;
    } else if (S_ISREG(st.st_mode)) {
        t.kind = OutputTarget::Kind::Regular;
        t.mode = st.st_mode & 07777;
        t.owner = st.st_uid;
        t.group = st.st_gid;
    } else {
        t.kind = OutputTarget::Kind::Special;
    }
    return t;
}

} // namespace

OutputTarget OutputTarget::of(const std::string &path) {
    std::string current = path;
    for (int links = 0;; ++links) {
        if (const int fd = descriptorOf(current); fd >= 0) {
            OutputTarget t;
            t.kind = Kind::Descriptor;
            t.descriptor = fd;
            return t;
        }
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return failed(errno);
            // Nothing there; the system may still see something the links do not spell (a
            // descriptor of another process): what it opens is written into.
            if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
                return ofFile(path, st);
            OutputTarget t;
            t.kind = Kind::Missing;
            t.path = current;
            return t;
        }
        if (!S_ISLNK(st.st_mode)) {
            OutputTarget t = ofFile(current, st);
            if (t.kind == Kind::Special)
                t.path = path;
            return t;
        }
        if (links == kMaxLinks)
            return failed(ELOOP);
        std::error_code error;
        const std::string link = std::filesystem::read_symlink(current, error).string();
        if (error)
            return failed(error.value());
        current = link.starts_with('/') ? link : folderOf(current) + link;
    }
}

} // namespace qv::platform
