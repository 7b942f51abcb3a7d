#pragma once
#include "files/WaveformFormat.h"
#include "tests/app/ProgramProcess.h"

#include <fcntl.h>
#include <regex>
#include <set>

extern char **environ;

namespace qv::test {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

/// The program run in a scratch folder with arguments as raw bytes and no display. The folder
/// holds good.dso (1 ms/div, 2 V/div), unknown.dso (scales its model lacks), square.dso (781.25 kHz
/// at 0.4 us/div, 80 mV peak to peak), flat.dso (the same, 5 units flat) and a DMM record.
class CommandLineTest : public ProgramProcess {
  protected:
    std::string program = QVLINK_PATH; ///< the program run

    void SetUp() override {
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
        r.samples.fill(5);
        write("flat.dso", qv::files::WaveformFormat::compose(r));
        write("record.txt", "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:05:00\r\nQM520V DMM Record: "
                            "\r\n\r\n  14:03:27    -1.234 mV  DC    \r\n\r\n");
    }
    void TearDown() override { fs::remove_all(path("")); } // Qt cannot remove non-UTF-8 names
    void write(const std::string &name, const std::string &bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    bool exists(const std::string &name) const { return fs::exists(path(name)); }
    /// The folder's files, for "nothing was written".
    std::set<std::string> files() const {
        std::set<std::string> names;
        const fs::path root = dir.path().toStdString();
        for (const auto &e : fs::recursive_directory_iterator(root))
            names.insert(fs::relative(e.path(), root).string());
        return names;
    }
    /// Runs the program, its standard input closed as a test program's is; standard output or error
    /// go to the device given (/dev/full, a terminal) instead of being read back.
    Run run(Args arguments, const char *out = nullptr, const char *err = nullptr) const {
        arguments.insert(arguments.begin(), program);
        std::vector<char *> argv, envp;
        for (std::string &a : arguments)
            argv.push_back(a.data());
        for (char **e = environ; *e; ++e)
            if (!std::regex_search(*e, std::regex("^(DISPLAY|WAYLAND_DISPLAY|QT_QPA_PLATFORM)=")))
                envp.push_back(*e);
        argv.push_back(nullptr), envp.push_back(nullptr);
        // The child execs the program itself: QProcess would pass the arguments as UTF-8.
        return ProgramProcess::run({}, {}, [&] {
            for (const auto &[fd, device] : {std::pair(1, out), std::pair(2, err)})
                if (device)
                    ::dup2(::open(device, O_WRONLY | O_CLOEXEC), fd);
            ::close(0);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127); // rather than QProcess running the program without its arguments
        });
    }
};

} // namespace qv::test
