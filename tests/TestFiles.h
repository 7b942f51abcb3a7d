#pragma once
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace qv::test {

/// How a run of the program ended: its exit code and what it wrote to its two outputs.
struct Run {
    int code;
    std::string out, err;
};

/// A file's bytes; empty when it cannot be read.
inline std::string contents(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// Runs f with the file-size limit at `bytes`: writes past it fail part-way (EFBIG, not SIGXFSZ).
template <class F> void withFileSizeLimit(rlim_t bytes, F f) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limited{std::min(bytes, old.rlim_max), old.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    f();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
}

/// A DMM packet: sync byte, 16 display characters (blank-padded), model, mode, number.
inline std::vector<std::uint8_t> dmmPacket(std::string text, int mode = 0, int number = 0,
                                           int model = 6) {
    text.resize(16, ' ');
    text = '\xFF' + text + char(model) + char(mode) + char(number);
    return {text.begin(), text.end()};
}

/// The paths of a folder's entries, sorted.
inline std::vector<std::filesystem::path> listing(const std::filesystem::path &dir) {
    std::vector<std::filesystem::path> paths(std::filesystem::directory_iterator(dir), {});
    std::sort(paths.begin(), paths.end());
    return paths;
}

/// A path in the temporary folder, the process id first to keep parallel runs apart.
inline std::filesystem::path tempPath(const std::string &name) {
    return std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + name);
}

/// Points the symlink `link` at device in one step, as udev replaces a device link.
inline void repoint(const std::filesystem::path &link, const std::string &device) {
    const std::filesystem::path fresh = link.string() + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(device, fresh);
    std::filesystem::rename(fresh, link);
}

/// How many descriptors this process holds open.
inline long openDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

/// A pseudo-terminal standing in for a serial device (no modem lines); `device` is empty when
/// none opened. Programs this process starts inherit neither end.
struct Pty {
    int master = -1, slave = -1;
    std::string device;
    Pty() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        device = name;
        for (int fd : {master, slave})
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    ~Pty() { ::close(master), ::close(slave); }
    [[nodiscard]] bool write(const std::vector<std::uint8_t> &bytes) const {
        return ::write(master, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
};

} // namespace qv::test
