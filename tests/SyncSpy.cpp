// fsync as the tests see it, in place of the C library's for the test program that links this.
#include "tests/SyncSpy.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace qv::test {
std::vector<std::string> synced;
int failNextSync = 0;
} // namespace qv::test

extern "C" int fsync(int fd) {
    char target[4096] = {};
    (void)::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
    qv::test::synced.emplace_back(target);
    if (const int error = std::exchange(qv::test::failNextSync, 0)) {
        errno = error;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}
