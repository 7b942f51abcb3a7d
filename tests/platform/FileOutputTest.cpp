// The program's one writer of whole files, against the real file system in a folder of its own.
#include "platform/FileOutput.h"
#include "tests/SyncSpy.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qv::platform {
namespace {

using test::contents;

void put(const std::string &path, const std::string &bytes, mode_t mode) {
    std::ofstream(path, std::ios::binary) << bytes;
    ::chmod(path.c_str(), mode);
}

struct stat statOf(const std::string &path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

/// Makes a folder refuse new files (immutable for root) or undoes that; true if it refuses one.
bool lockFolder(const std::string &folder, bool lock) {
    if (::geteuid() == 0) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = lock ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            (void)::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    ::chmod(folder.c_str(), lock ? 0500 : 0700);
    const std::string probe = folder + "/probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return true;
    ::close(fd);
    ::unlink(probe.c_str());
    return false;
}

class FileOutputTest : public ::testing::Test {
  protected:
    FileOutputTest() {
        char name[] = "/tmp/qv-output-XXXXXX";
        dir_ = ::mkdtemp(name);
        std::filesystem::create_directory(path("sub"));
    }
    ~FileOutputTest() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    /// Names in the folder and below that a writer left behind (its temporary files).
    std::vector<std::string> leftovers() const {
        std::vector<std::string> found;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(dir_))
            if (entry.path().filename().string().find(".~") != std::string::npos)
                found.push_back(entry.path().string());
        return found;
    }

    std::string dir_;
};

// A new file with the old one's mode and owner; links followed to their end, and kept.
TEST_F(FileOutputTest, ReplacesTheFileAtTheEndOfItsLinksKeepingModeAndOwner) {
    const mode_t oldUmask = ::umask(027);
    using Links = std::vector<std::pair<std::string, std::string>>;
    // written; links (name, target); file taking the bytes; mode before (0: none), after; sync
    // clang-format off
    const std::tuple<std::string, Links, std::string, mode_t, mode_t, bool> rows[] = {
        {"a.csv", {}, "a.csv", 0600, 0600, false},
        {"abs.csv", {{"abs.csv", path("sub/t1.csv")}}, "sub/t1.csv", 0604, 0604, true},
        {"sub/rel.csv", {{"sub/rel.csv", "../l2.csv"}, {"l2.csv", "sub/t2.csv"}}, "sub/t2.csv",
         0660, 0660, false},
        {"dangling.csv", {{"dangling.csv", "sub/made.csv"}}, "sub/made.csv", 0, 0640, true},
        {"new.csv", {}, "new.csv", 0, 0640, false}, // 0666 less the umask
        {std::string(255, 'n'), {}, std::string(255, 'n'), 0600, 0600, false}, // the longest
    };
    // clang-format on
    for (const auto &[written, links, end, oldMode, mode, sync] : rows) {
        SCOPED_TRACE(written);
        if (oldMode != 0)
            put(path(end), "old", oldMode);
        const bool foreign = oldMode != 0 && ::geteuid() == 0;
        ASSERT_TRUE(!foreign || ::chown(path(end).c_str(), 65534, 0) == 0); // the group is ours
        for (const auto &[name, target] : links)
            ASSERT_EQ(::symlink(target.c_str(), path(name).c_str()), 0);
        const ino_t oldInode = statOf(path(end)).st_ino;

        const auto result = FileOutput::replace(path(written), "new,content\n", sync);
        ASSERT_TRUE(result.ok) << result.reason;
        const struct stat st = statOf(path(end));
        EXPECT_EQ(std::tuple(contents(path(end)), st.st_mode, st.st_ino != oldInode),
                  std::tuple("new,content\n", S_IFREG | mode, true)); // a new file took the name
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid),
                  std::pair(foreign ? 65534u : ::geteuid(), ::getegid()));
        for (const auto &[name, target] : links)
            EXPECT_EQ(std::filesystem::read_symlink(path(name)).string(), target) << name;
    }
    // Old files of the process's owner: one of another group, one whose mode the umask cuts.
    for (const auto &[group, mode] : {std::pair(65534u, 0640u), std::pair(0u, 0604u)}) {
        if (::geteuid() != 0)
            break;
        put(path("g.csv"), "old", mode);
        ASSERT_EQ(::chown(path("g.csv").c_str(), 0, group), 0);
        ASSERT_TRUE(FileOutput::replace(path("g.csv"), "new", false).ok);
        const struct stat st = statOf(path("g.csv"));
        EXPECT_EQ(std::pair(st.st_gid, st.st_mode), std::pair(group, S_IFREG | mode));
    }
    // Another owner's file in a shared folder, of a group of the writer's (a child as nobody):
    // it cannot give the new file away, but keeps the group.
    if (::geteuid() == 0) {
        put(path("sub/s.csv"), "old", 0664);
        ASSERT_TRUE(::chown(path("sub/s.csv").c_str(), 0, 4242) == 0 &&
                    ::chmod(dir_.c_str(), 0755) == 0 && ::chmod(path("sub").c_str(), 0777) == 0);
        const gid_t groups[] = {4242};
        const pid_t child = ::fork();
        if (child == 0) // 0: written
            _exit(::setgroups(1, groups) || ::setgid(65534) || ::setuid(65534) ||
                  !FileOutput::replace(path("sub/s.csv"), "new", false).ok);
        int status = -1;
        ::waitpid(child, &status, 0);
        const struct stat st = statOf(path("sub/s.csv"));
        EXPECT_EQ(std::tuple(status, st.st_uid, st.st_gid, contents(path("sub/s.csv"))),
                  std::tuple(0, 65534u, 4242u, "new"));
    }
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
    ::umask(oldUmask);
}

// What cannot be written says why and leaves nothing behind.
TEST_F(FileOutputTest, RefusalsSayWhy) {
    const std::pair<std::string, const char *> rows[] = {
        {path("sub"), "Is a directory"},
        {"", "empty file name"},
        {path("none/a.csv"), "No such file or directory"},
        {path("sub/x/y"), "No such file or directory"}};
    for (const auto &[target, reason] : rows) {
        const auto r = FileOutput::replace(target, "x", false);
        EXPECT_EQ(std::pair(r.ok, r.reason), std::pair(false, std::string(reason)));
    }
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

std::atomic<int> signalsTaken{0};

/// Signals the thread once it sleeps in a system call; returns once the signal was taken.
void interrupt(pid_t thread, pthread_t handle) {
    const std::string stat = "/proc/self/task/" + std::to_string(thread) + "/stat";
    while (contents(stat).find(") S ") == std::string::npos)
        std::this_thread::yield();
    const int before = signalsTaken;
    ::pthread_kill(handle, SIGUSR1);
    while (signalsTaken == before)
        std::this_thread::yield();
}

// A FIFO is written into through interrupting signals; a reader gone early fails, no SIGPIPE.
TEST_F(FileOutputTest, AFifoIsWrittenIntoAndStaysAFifo) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct sigaction handler {};
    handler.sa_handler = [](int) { ++signalsTaken; };
    ::sigaction(SIGUSR1, &handler, nullptr);
    const pid_t writer = ::gettid();
    const pthread_t writerThread = ::pthread_self();
    std::string bytes(1 << 20, 'x'); // more than a pipe holds, each byte in its place
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    for (const bool readerLeaves : {false, true}) {
        // Opened here so the writer never waits for it; read by a thread.
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        ::fcntl(reader, F_SETFL, 0);
        std::string received;
        std::thread thread([&] {
            pollfd ready{reader, POLLIN, 0};
            // Nothing comes when the FIFO was replaced.
            const bool writing = ::poll(&ready, 1, 5000) == 1;
            if (readerLeaves) {
                ::close(reader);
                return;
            }
            // The first signal cuts a write short, the second the next one before any byte (EINTR).
            interrupt(writer, writerThread);
            interrupt(writer, writerThread);
            char chunk[65536];
            ssize_t n;
            while (writing && (n = ::read(reader, chunk, sizeof chunk)) > 0)
                received.append(chunk, static_cast<size_t>(n));
        });
        const auto result = FileOutput::replace(fifo, bytes, true);
        thread.join();
        if (!readerLeaves)
            ::close(reader);
        EXPECT_EQ(std::pair(result.ok, result.reason),
                  readerLeaves ? std::pair(false, std::string("Broken pipe"))
                               : std::pair(true, std::string()));
        EXPECT_TRUE(received == (readerLeaves ? "" : bytes)) << received.size();
        EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    }
}

// Character devices of its own (the system's are never at stake): written into, never replaced.
TEST_F(FileOutputTest, ACharacterDeviceIsWrittenIntoAndStaysOne) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making device nodes takes root";
    // name, minor of major 1 (3 is null, 7 is full), the result
    for (const auto &[name, minor, ok, reason] :
         {std::tuple{"null", 3u, true, ""}, {"full", 7u, false, "No space left on device"}}) {
        const std::string node = path(name);
        if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0)
            GTEST_SKIP() << "no device nodes here: " << std::strerror(errno);
        if (const int fd = ::open(node.c_str(), O_WRONLY); fd < 0)
            GTEST_SKIP() << "device nodes do not open here: " << std::strerror(errno);
        else
            ::close(fd);
        const auto result = FileOutput::replace(node, "a,b\n", true);
        EXPECT_EQ(std::pair(result.ok, result.reason), std::pair(ok, std::string(reason))) << name;
        const struct stat st = statOf(node);
        EXPECT_TRUE(S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, minor)) << name;
    }
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

// /dev/fd/N (and so /dev/stdout) is the process's own descriptor: written at its position.
TEST_F(FileOutputTest, AnOwnDescriptorIsWrittenAtItsPosition) {
    const std::string log = path("log.txt");
    put(log, "head\n", 0644);
    const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const auto result = FileOutput::replace("/dev/fd/" + std::to_string(fd), "tail\n", false);
    EXPECT_FALSE(FileOutput::replace("/dev/fd/" + std::to_string(fd) + "x", "no\n", false).ok);
    ::close(fd);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(contents(log), "head\ntail\n");
}

// Beside a temporary file or in place (a locked folder): all new content or the file as it was.
TEST_F(FileOutputTest, AFileIsReplacedWholeOrLeftAsItWas) {
    const std::string folder = path("f"), file = path("f/kept.csv");
    // locked; the size of the new content (over the file-size limit of 1000 it fails); the result
    const std::tuple<bool, std::size_t, bool, const char *> rows[] = {
        {false, 4000, false, "File too large"},
        {true, 4000, false, "File too large"},
        {true, 4, true, ""}};
    const std::string old = "old bytes, longer than the new\n";
    for (const auto &[locked, size, ok, reason] : rows) {
        SCOPED_TRACE(std::to_string(locked) + " " + std::to_string(size));
        std::filesystem::create_directory(folder);
        put(file, old, 0640);
        if (locked && !lockFolder(folder, true))
            GTEST_SKIP() << "no way to lock a folder here";
        const std::string bytes(size, 'n');
        FileOutput::Result result;
        test::withFileSizeLimit(1000, [&] { result = FileOutput::replace(file, bytes, false); });
        lockFolder(folder, false);
        EXPECT_EQ(
            std::tuple(result.ok, result.reason, contents(file), statOf(file).st_mode, leftovers()),
            std::tuple(ok, reason, ok ? bytes : old, S_IFREG | 0640, std::vector<std::string>{}));
        std::filesystem::remove_all(folder);
    }
}

// Asked to, the file is synced before it takes the name, then its folder; a failed sync fails.
TEST_F(FileOutputTest, SyncsTheFileThenItsFolderWhenAsked) {
    const std::string file = path("kept.csv");
    // sync; the error the first sync gives; the result; what was synced ("temporary", "folder")
    const std::tuple<bool, int, const char *, std::vector<std::string>> rows[] = {
        {false, 0, "", {}},
        {true, 0, "", {"temporary", "folder"}},
        {true, EIO, "Input/output error", {"temporary"}}};
    const long open = test::openDescriptors();
    for (const auto &[sync, error, reason, what] : rows) {
        put(file, "old", 0640);
        test::synced.clear();
        test::failNextSync = error;
        const auto result = FileOutput::replace(file, "new", sync);
        std::vector<std::string> seen;
        for (const std::string &s : test::synced)
            seen.push_back(s == dir_ ? "folder" : s.starts_with(file + ".~") ? "temporary" : s);
        EXPECT_EQ(std::tuple(result.reason, seen, contents(file), leftovers()),
                  std::tuple(reason, what, error ? "old" : "new", std::vector<std::string>{}));
        EXPECT_EQ(test::openDescriptors(), open) << "the file's and the folder's closed";
    }
}

} // namespace
} // namespace qv::platform
