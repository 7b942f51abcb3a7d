#include "files/WaveformFormat.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// The built program run in a scratch folder with arguments as raw bytes (posix_spawn, no
/// decoding on the way) and without a display: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
class CommandLineTest : public ::testing::Test {
  protected:
    fs::path dir;
    struct Run {
        int code;
        std::string out, err;
    };

    void SetUp() override {
        char name[] = "/tmp/qvlink-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        qv::files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03"};
        r.params = {13, 0, 7, 0, 1, 1, 0, 0};
        write("good.dso", qv::files::WaveformFormat::compose(r));
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

    Run run(const std::vector<std::string> &arguments) const {
        std::vector<std::string> args{QVLINK_PATH};
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
        const std::string out = (dir / ".out").string(), err = (dir / ".err").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        Run r{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), contents(out),
              contents(err)};
        fs::remove(out);
        fs::remove(err);
        return r;
    }
};

using Args = std::vector<std::string>;

// Only a lone file (or none, or the window's own options) starts the window; anything else ends
// with exit 2 and one line, decided before the window would need a display.
TEST_F(CommandLineTest, MistypedCommandsAndOptionsAreUsageErrorsWithoutADisplay) {
    const std::pair<Args, std::string> cases[] = {
        {{"exprot", "good.dso", "--csv", "x.csv"},
         R"(unknown command "exprot" (did you mean "export"?))"},
        {{"inof", "good.dso"}, R"(unknown command "inof" (did you mean "info"?))"},
        {{"Capture", "--demo", "dmm"}, R"(unknown command "Capture" (did you mean "capture"?))"},
        {{"--demo", "foo"}, "unknown demo mode 'foo' (dmm, dso, dso-memory, dmm-memory)"},
        {{"--dmeo", "dso"}, R"(unknown option "--dmeo" (did you mean "--demo"?))"},
        {{"good.dso", "--csv", "x.csv"}, R"(unknown option "--csv")"},
        {{"good.dso", "record.txt"}, R"(the window opens one file: "record.txt" is one too many)"},
        {{"--demo", "dso", "info", "good.dso"},
         R"(the command "info" goes first, before any option)"},
        {{"--speed", "fast"}, "--speed takes 1, 10 or max, not 'fast'"},
        {{"--port", "a", "--port", "b"}, "--port is given twice"},
        {{"--screenshots="}, "--screenshots needs a value, not an empty one"},
        {{"--replay"}, "--replay needs a value"},
    };
    for (const auto &[arguments, message] : cases) {
        const Run r = run(arguments);
        EXPECT_EQ(r.code, 2) << arguments[0] << ": " << r.err;
        EXPECT_EQ(r.err, "qvlink: " + message + "\n") << arguments[0];
    }
    EXPECT_EQ(files(), (std::set<std::string>{"good.dso", "record.txt"}));
}

TEST_F(CommandLineTest, HelpAndVersionWithoutADisplay) {
    const Run all = run({"--help-all"});
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_NE(
        all.out.find("  --platform <platformName[:options]>  QPA plugin. See QGuiApplication\n"
                     "                                       documentation for available "
                     "options for\n"),
        std::string::npos)
        << all.out;
    const Run help = run({"-h"});
    EXPECT_EQ(help.out.rfind("Usage: " QVLINK_PATH " [options] [FILE.dso]\n", 0), 0u);
    EXPECT_NE(help.out.find("  --port <device>         Open this serial device at start-up "
                            "instead of\n                          searching ports 1 to 8 "
                            "(/dev/ttyUSB3,\n"),
              std::string::npos)
        << help.out;
    EXPECT_EQ(help.out.find("--platform"), std::string::npos);
    EXPECT_EQ(run({"-v"}).out, "qvlink 1.1\n");
    EXPECT_EQ(run({"export", "--help"}).out.rfind("Usage:\n  qvlink [FILE.dso]", 0), 0u);
}

TEST_F(CommandLineTest, FileNamesAreTheBytesGiven) {
    const Run missing = run({"info", "nix\xe9.dso"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.err, "qvlink: nix\xe9.dso (no such file)\n");

    const Run csv = run({"export", "good.dso", "--csv", "caf\xe9 -1.csv"});
    EXPECT_EQ(csv.code, 0) << csv.err;
    EXPECT_TRUE(fs::exists(dir / "caf\xe9 -1.csv"));

    write("-w 1.dso", contents(dir / "good.dso"));
    const Run dash = run({"export", "--out-dir", "out", "--formats", "csv", "--", "-w 1.dso"});
    EXPECT_EQ(dash.code, 0) << dash.err;
    EXPECT_TRUE(fs::exists(dir / "out/-w 1.csv"));

    write("caf\xe9.dso", contents(dir / "good.dso"));
    const Run read = run({"info", "caf\xe9.dso"});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_EQ(read.out.rfind("file: caf\xe9.dso\n", 0), 0u);
    // JSON is UTF-8: the byte that is no UTF-8 stands as U+FFFD.
    const Run json = run({"info", "caf\xe9.dso", "--json"});
    EXPECT_NE(json.out.find("\"file\": \"caf\xef\xbf\xbd.dso\""), std::string::npos) << json.out;
}

TEST_F(CommandLineTest, ValuesAreTheSameInEveryCase) {
    const Run batch = run({"export", "good.dso", "--out-dir", "out", "--formats",
                           "CSV,Spectrum-CSV", "--view", "SPECTRUM", "--window", "HANNING"});
    EXPECT_EQ(batch.code, 0) << batch.err;
    EXPECT_TRUE(fs::exists(dir / "out/good.csv") && fs::exists(dir / "out/good.spectrum.csv"));
    const Run frames =
        run({"capture", "--demo", "DSO", "--speed", "MAX", "--frames", "1", "--formats", "PNG",
             "--out-dir", "frames", "--interval", "0", "--quiet"});
    EXPECT_EQ(frames.code, 0) << frames.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "frames"), fs::directory_iterator()), 1);
    const Run bogus = run({"capture", "--demo", "bogus", "--dmm-csv", "x.csv"});
    EXPECT_EQ(bogus.code, 2);
    EXPECT_EQ(bogus.err.rfind("qvlink: unknown demo mode 'bogus'", 0), 0u) << bogus.err;
}

// Nothing is written when an output is an input, by any path to it.
TEST_F(CommandLineTest, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
    fs::create_directory(dir / "sub");
    fs::create_symlink("good.dso", dir / "link.dso");
    fs::create_hard_link(dir / "good.dso", dir / "hard.dso");
    write("wave.csv", contents(dir / "good.dso"));
    const std::string wave = contents(dir / "good.dso"), record = contents(dir / "record.txt");
    const std::pair<Args, std::string> cases[] = {
        {{"export", "good.dso", "--csv", "good.dso"}, R"("good.dso" (--csv) is the input)"},
        {{"export", "good.dso", "--png", "link.dso"}, R"("link.dso" (--png) is the input)"},
        {{"export", "good.dso", "--csv", "hard.dso"}, R"("hard.dso" (--csv) is the input)"},
        {{"export", "good.dso", "--svg", "x.svg", "--pdf", "sub/../good.dso"},
         R"("sub/../good.dso" (--pdf) is the input "good.dso")"},
        {{"export", "--record", "record.txt", "--csv", "./record.txt"},
         R"("./record.txt" (--csv) is the input "record.txt")"},
        {{"export", "good.dso", "wave.csv", "--out-dir", ".", "--formats", "png,csv"},
         R"("./wave.csv" (from wave.csv) is the input "wave.csv")"},
    };
    const auto before = files();
    for (const auto &[arguments, message] : cases) {
        const Run r = run(arguments);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(contents(dir / "good.dso"), wave);
    EXPECT_EQ(contents(dir / "record.txt"), record);
}

TEST_F(CommandLineTest, CollidingOutputsAreRefusedUpFront) {
    for (const char *folder : {"a", "b"}) {
        fs::create_directory(dir / folder);
        fs::copy_file(dir / "good.dso", dir / folder / "x.dso");
    }
    fs::create_symlink("o.csv", dir / "link.csv"); // to a file still to be made
    const std::pair<Args, std::string> cases[] = {
        {{"export", "a/x.dso", "b/x.dso", "--out-dir", "out"},
         R"(the outputs "out/x.csv" (from a/x.dso) and "out/x.csv" (from b/x.dso) are the same)"},
        {{"export", "good.dso", "--csv", "o.csv", "--spectrum-csv", "o.csv"}, "are the same file"},
        {{"export", "good.dso", "--csv", "o.csv", "--spectrum-csv", "./o.csv"}, "the same file"},
        {{"export", "good.dso", "--csv", "o.csv", "--spectrum-csv", "link.csv"}, "the same file"},
        {{"export", "good.dso", "--csv", "-", "--spectrum-csv", "-"},
         "--csv and --spectrum-csv both write to standard output"},
        {{"export", "good.dso", "--csv", "o.csv", "--csv=p.csv"}, "--csv is given twice"},
        {{"export", "good.dso", "--out-dir", "o", "--formats", "csv,CSV"}, "names csv twice"},
        {{"export", "good.dso", "--out-dir", ""}, "--out-dir needs a value, not an empty one"},
        {{"export", "good.dso", "--csv", ""}, "--csv needs a value, not an empty one"},
        {{"info", "good.dso", "--json", "--json"}, "--json is given twice"},
        {{"capture", "--demo", "dmm", "--dmm-csv", "r.raw", "--record-raw", "./r.raw", "--count=1"},
         "are the same file"},
        {{"capture", "--replay", "link.csv", "--dmm-csv", "o.csv"}, "is the input"},
        {{"capture", "--demo", "dmm", "--dmm-csv", "o.csv", "--count", "1", "--count", "2"},
         "--count is given twice"},
    };
    const auto before = files();
    for (const auto &[arguments, message] : cases) {
        const Run r = run(arguments);
        EXPECT_EQ(r.code, 2) << arguments[1] << ": " << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_EQ(files(), before);
}

TEST_F(CommandLineTest, ARefusalSaysWhy) {
    std::string wave = contents(dir / "good.dso");
    write("huge.dso", wave.substr(0, wave.find("\r\n 13 \r\n")) + "\r\n 1e400 " +
                          wave.substr(wave.find("\r\n 0 \r\n")));
    write("cut.dso", wave.substr(0, 200)); // 15 lines to the samples, 17 samples and " 0"
    write("long.dso", std::string(17 * 1024 * 1024, 'a')); // more than a read takes at all
    std::ofstream(dir / "nul.dso").close();
    fs::resize_file(dir / "nul.dso", 50 * 1024 * 1024); // NUL bytes
    write("model.dso", "QVDATALINK47 V1.0\r\nNOPE\x1b[2J\r\n");
    const std::pair<const char *, std::string> cases[] = {
        {"huge.dso", R"(huge.dso (line 7: "1e400" is not a number))"},
        {"cut.dso", "cut.dso (shorter than 271 lines: it ends after line 33)"},
        {"long.dso", "long.dso (line 1 is longer than 4096 bytes)"},
        {"nul.dso", "nul.dso (not text)"},
        {"model.dso", R"(model.dso 文件格式不正确 (unknown meter model "NOPE\x1b[2J"))"},
    };
    for (const auto &[file, message] : cases) {
        const Run r = run({"info", file});
        EXPECT_EQ(r.code, 3);
        EXPECT_EQ(r.err, "qvlink: " + message + "\n");
    }
}

} // namespace

// --lang and the kept setting choose the messages' language for every subcommand; the exit
// codes stay.
TEST_F(CommandLineTest, MessagesInTheLanguageChosen) {
    write("model.dso", "QVDATALINK47 V1.0\r\nNOPE\r\n");
    const std::string settings = (dir / "settings.ini").string();
    setenv("QVLINK_SETTINGS", settings.c_str(), 1);
    const std::string zh = R"(model.dso 文件格式不正确 (unknown meter model "NOPE"))";
    const std::string en = R"(model.dso: File format not recognised (unknown meter model "NOPE"))";
    struct Row {
        const char *kept; ///< the setting's language; "" none
        Args arguments;
        int code;
        std::string message;
    };
    const Row rows[] = {
        {"", {"info", "model.dso"}, 3, zh},
        {"", {"info", "model.dso", "--lang", "en"}, 3, en},
        {"en", {"info", "model.dso"}, 3, en},
        {"en", {"--lang=zh", "info", "model.dso"}, 3, zh},
        {"",
         {"--lang", "en", "export", "--record", "good.dso", "--csv", "x.csv"},
         3,
         "good.dso: File format not recognised (not a DMM record file)"},
        {"", {"info", "good.dso", "--lang", "fr"}, 2, "--lang: 'fr' is not a language: zh or en"},
    };
    for (const Row &row : rows) {
        write("settings.ini", std::string("[General]\nlanguage=") + row.kept + "\n");
        const Run r = run(row.arguments);
        EXPECT_EQ(r.code, row.code) << row.arguments[1];
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "qvlink: " + row.message + "\n");
    }
    unsetenv("QVLINK_SETTINGS");
}
