#pragma once
#include "files/WaveformFormat.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace qv::test {

namespace fs = std::filesystem;

/// The program run in a scratch folder with arguments as raw bytes (posix_spawn) and no display.
/// The folder holds good.dso (1 ms/div, 2 V/div), unknown.dso (scales its model lacks),
/// square.dso (781.25 kHz at 0.4 us/div, 80 mV peak to peak) and a DMM record.
class CommandLineTest : public ::testing::Test {
  protected:
    using Run = test::Run; // not Test::Run
    fs::path dir;
    std::string program = QVLINK_PATH; ///< the program run

    void SetUp() override {
        char name[] = "/tmp/qvlink-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        // 1 ms/div, 2 V/div; one sample 5 units up
        qv::files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03"};
        r.params = {13, 0, 7, 0, 1, 1, 0, 0};
        r.samples[1] = 5;
        write("good.dso", qv::files::WaveformFormat::compose(r));
        r.params = {25, 0, 15, 0, 1, 1, 0, 0}; // scales the tables lack for this model
        write("unknown.dso", qv::files::WaveformFormat::compose(r));
        r.params = {23, 3, 13, 0, 1, 1, 1, 0}; // 0.4 us/div, 20 mV/div; a square of 64 samples
        r.modelName = "7304", r.title = "Meter 7304 DSO sample ";
        for (size_t i = 0; i < r.samples.size(); ++i)
            r.samples[i] = i % 64 < 32 ? 20 : -20;
        write("square.dso", qv::files::WaveformFormat::compose(r));
        write("record.txt", "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:05:00\r\nQM520V DMM Record: "
                            "\r\n\r\n  14:03:27    -1.234 mV  DC    \r\n\r\n");
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const std::string &name, const std::string &bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    /// The folder's files, for "nothing was written".
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto &e : fs::recursive_directory_iterator(dir))
            names.insert(fs::relative(e.path(), dir).string());
        return names;
    }

    /// Runs the program; stdout goes to `output`, stderr to `errors`, read back when in the folder.
    Run run(const std::vector<std::string> &arguments, std::string output = ".out",
            std::string errors = ".err") const {
        std::vector<std::string> args{program};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char *> envp;
        for (char **e = environ; *e; ++e) {
            const std::string_view v(*e);
            if (!v.starts_with("DISPLAY=") && !v.starts_with("WAYLAND_DISPLAY=") &&
                !v.starts_with("QT_QPA_PLATFORM="))
                envp.push_back(*e);
        }
        envp.push_back(nullptr);
        const std::string out = (dir / output).string(), err = (dir / errors).string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        for (const auto &[fd, file] : {std::pair(1, &out), std::pair(2, &err)})
            posix_spawn_file_actions_addopen(&actions, fd, file->c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        // A device given as an output (/dev/full, a terminal) is neither read back nor removed.
        const auto take = [](const std::string &name, const std::string &path) {
            if (name.find('/') != std::string::npos)
                return std::string();
            std::string bytes = contents(path);
            fs::remove(path);
            return bytes;
        };
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), take(output, out),
                take(errors, err)};
    }
};

using Args = std::vector<std::string>;

} // namespace qv::test
