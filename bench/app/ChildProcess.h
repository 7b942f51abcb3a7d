// The built program run as a user runs it, measured from outside: wall time from the spawn, CPU
// seconds (user + system, from wait4, so the machine's load does not blur them as it blurs wall
// times), the resident set sampled from /proc, the readings of a capture CSV.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace bench {

/// The program measured: QVLINK_BENCH_PROGRAM when set (to measure another build the same way),
/// else the one built here.
inline std::string program() {
    const char *other = std::getenv("QVLINK_BENCH_PROGRAM");
    return other && *other ? other : QVLINK_PATH;
}

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

/// A live DMM packet of meter model 1 showing n (0 .. 99.999 V).
inline void appendReading(std::vector<std::uint8_t> &bytes, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%6.3fV   DC    ", (n % 100000) / 1000.0);
    bytes.push_back(0xFF);
    bytes.insert(bytes.end(), text, text + 16);
    bytes.insert(bytes.end(), {1, 0, static_cast<std::uint8_t>(n)});
}

/// A child process of the program: spawned with its own environment, waited for with its CPU.
class Child {
  public:
    /// tz: the child's TZ (nullopt: unset, as on a default system). offscreen: Qt's platform
    /// without a display (the command line's own default); else the display's (X).
    Child(const std::vector<std::string> &args, std::optional<std::string> tz = std::nullopt,
          bool offscreen = true) {
        std::vector<std::string> env;
        for (char **e = environ; *e; ++e)
            if (std::strncmp(*e, "TZ=", 3) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
                env.emplace_back(*e);
        if (tz)
            env.push_back("TZ=" + *tz);
        if (offscreen)
            env.emplace_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char *> argv, envp;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        for (const std::string &e : env)
            envp.push_back(const_cast<char *>(e.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        started_ = Clock::now();
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    ~Child() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            (void)wait();
        }
    }

    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] Clock::time_point started() const { return started_; }
    [[nodiscard]] bool running() const {
        if (pid_ <= 0 || waited_)
            return false;
        siginfo_t info{};
        return ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }
    /// Waits for the end: true when it exited with 0. wall and cpu are then known.
    bool wait() {
        if (pid_ <= 0)
            return false;
        int status = 0;
        rusage use{};
        waited_ = ::wait4(pid_, &status, 0, &use) == pid_;
        wall = secondsSince(started_);
        cpu = double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
              double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
        return waited_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    /// The resident set in kB now (0 once it ended).
    [[nodiscard]] long rssKb() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0)
                return std::stol(line.substr(6));
        return 0;
    }

    double wall = 0, cpu = 0;

  private:
    pid_t pid_ = -1;
    bool waited_ = false;
    Clock::time_point started_;
};

/// Polls every 0.2 ms (a few hundred polls at most) until done() or the child ended.
inline bool waitUntil(const Child &child, const std::function<bool()> &done,
                      double limitSeconds = 30) {
    const auto start = Clock::now();
    while (!done()) {
        if (!child.running() || secondsSince(start) > limitSeconds)
            return done();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

inline std::string contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// Whether a capture CSV holds a reading yet (a line that begins with its date).
inline bool hasReading(const std::string &csv) {
    const std::string text = contents(csv);
    return text.find("\n2") != std::string::npos;
}

/// The values of a capture CSV's readings in thousandths, in file order.
inline std::vector<long> csvValues(const std::string &csv) {
    std::vector<long> out;
    std::istringstream lines(contents(csv));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] < '0' || line[0] > '9')
            continue;
        // date_time,time,value,unit,text
        std::size_t at = 0;
        for (int comma = 0; comma < 2 && at != std::string::npos; ++comma)
            at = line.find(',', at + 1);
        if (at == std::string::npos)
            continue;
        out.push_back(std::lround(std::strtod(line.c_str() + at + 1, nullptr) * 1000));
    }
    return out;
}

/// Whether values are 0, 1, 2, ... (modulo 100,000, as appendReading writes them).
inline bool inOrder(const std::vector<long> &values, std::size_t count) {
    if (values.size() != count)
        return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] != long(i % 100000))
            return false;
    return true;
}

} // namespace bench
