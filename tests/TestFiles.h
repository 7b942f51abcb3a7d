#pragma once
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

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

/// Runs f while this process may write no file larger than `bytes`, so that writes fail part-way
/// (with EFBIG, not SIGXFSZ).
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

} // namespace qv::test
