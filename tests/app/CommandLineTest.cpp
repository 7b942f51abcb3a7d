#include "RunProgram.h"

#include <regex>

namespace {

using namespace qv::test;

// A capture of the demo publishing to url with one more option.
Args mqtt(std::string url, std::string option, std::string value) {
    return {"capture", "--demo", "dmm", "--mqtt", url, option, value};
}
const std::string kIdBounds = "--mqtt-id takes UTF-8 text of at most 65535 bytes";
// clang-format off
const std::tuple<Args, int, std::string> kRefusals[] = {
    {{"exprot", "good.dso", "--csv", "x.csv"}, 2,
     R"(unknown command "exprot" (did you mean "export"?))"},
    {{"Capture", "--demo", "dmm"}, 2, R"(unknown command "Capture" (did you mean "capture"?))"},
    {{"--demo", "foo"}, 2, "unknown demo mode 'foo' (dmm, dso, dso-memory, dmm-memory)"},
    {{"capture", "--demo", "bogus", "--dmm-csv", "x.csv"}, 2, "unknown demo mode 'bogus'"},
    {{"capture", "--demo", "dmm", "x.csv"}, 2,
     "capture takes no file names: use --dmm-csv or --out-dir"},
    {{"--dmeo", "dso"}, 2, R"(unknown option "--dmeo" (did you mean "--demo"?))"},
    {{"good.dso", "--csv", "x.csv"}, 2, R"(unknown option "--csv")"},
    {{"good.dso", "record.txt"}, 2, R"(the window opens one file: "record.txt" is one too many)"},
    {{"frobnicate", "good.dso"}, 2, R"(unknown command "frobnicate")"},
    {{"--demo", "dso", "info", "good.dso"}, 2,
     R"(the command "info" goes first, before any option)"},
    {{"--speed", "fast"}, 2, "--speed takes 1, 10 or max, not 'fast'"},
    {{"--screenshots="}, 2, "--screenshots needs a value, not an empty one"},
    {{"--replay"}, 2, "--replay needs a value"},
    {{"export", "good.dso"}, 2, "nothing to export"},
    {{"export", "good.dso", "good.dso", "--csv", "a.csv"}, 2, "several inputs need --out-dir"},
    {{"export", "--csv", "a.csv"}, 2, "no input file"},
    {{"export", "good.dso", "--csv", "a.csv", "--view", "side"}, 2,
     "--view takes wave or spectrum"},
    {{"export", "good.dso", "--csv", "a.csv", "--window", "kaiser"}, 2, "unknown window kaiser"},
    {{"export", "good.dso", "--png", "-"}, 2, "--png cannot write to standard output"},
    {{"export", "good.dso", "--out-dir", "o", "--formats", "csv, gif"}, 2, "unknown format gif"},
    {{"export", "good.dso", "--out-dir", "o", "--svg", "a.svg"}, 2,
     "--svg names one file; with --out-dir choose the outputs with --formats"},
    {{"export", "--record", "record.txt"}, 2, "--record takes one record file and --csv OUT.csv"},
    {{"export", "square.dso", "--png", "x.png", "--measurements"}, 2,
     "--measurements adds to the waveform CSV"},
    {{"export", "good.dso", "--png", "a.png", "--scale", "9"}, 2,
     "--scale takes a whole number from 1 to 8"},
    {{"export", "good.dso", "--csv", "good.dso"}, 2,
     R"(the output "good.dso" (--csv) is the input "good.dso": nothing was written)"},
    {{"export", "good.dso", "--png", "link.dso"}, 2,
     R"(the output "link.dso" (--png) is the input "good.dso": nothing was written)"},
    {{"export", "good.dso", "--csv", "hard.dso"}, 2,
     R"(the output "hard.dso" (--csv) is the input "good.dso": nothing was written)"},
    {{"export", "good.dso", "--svg", "x.svg", "--pdf", "sub/../good.dso"}, 2,
     R"(the output "sub/../good.dso" (--pdf) is the input "good.dso")"},
    {{"export", "--record", "record.txt", "--csv", "./record.txt"}, 2,
     R"(the output "./record.txt" (--csv) is the input "record.txt")"},
    {{"export", "good.dso", "wave.csv", "--out-dir", ".", "--formats", "png,csv"}, 2,
     R"(the output "./wave.csv" (from wave.csv) is the input "wave.csv")"},
    {{"export", "a/x.dso", "b/x.dso", "--out-dir", "out"}, 2,
     R"(the outputs "out/x.csv" (from a/x.dso) and "out/x.csv" (from b/x.dso) are the same)"},
    {{"export", "good.dso", "--csv", "o.csv", "--spectrum-csv", "o.csv"}, 2,
     R"(the outputs "o.csv" (--csv) and "o.csv" (--spectrum-csv) are the same file)"},
    {{"export", "good.dso", "--csv", "o.csv", "--spectrum-csv", "link.csv"}, 2,
     R"(the outputs "o.csv" (--csv) and "link.csv" (--spectrum-csv) are the same file)"},
    {{"export", "good.dso", "--csv", "-", "--spectrum-csv", "-"}, 2,
     "--csv and --spectrum-csv both write to standard output"},
    {{"export", "good.dso", "--csv", "o.csv", "--csv=p.csv"}, 2, "--csv is given twice"},
    {{"export", "good.dso", "--out-dir", "o", "--formats", "csv,CSV"}, 2,
     "--formats names csv twice"},
    {{"capture", "--demo", "dmm", "--dmm-csv", "r.raw", "--record-raw", "./r.raw", "--count=1"},
     2, R"(the outputs "./r.raw" (--record-raw) and "r.raw" (--dmm-csv) are the same file)"},
    {{"capture", "--demo", "dso", "--out-dir", "o", "--formats", "dso,csv,gif"}, 2,
     "unknown frame format 'gif' (dso, csv, png)"},
    {{"capture", "--replay", "link.csv", "--dmm-csv", "o.csv"}, 2,
     R"(the output "o.csv" (--dmm-csv) is the input "link.csv": nothing was written)"},
    {{"info", "huge.dso"}, 3, R"(huge.dso (line 7: "1e400" is not a number))"},
    {{"info", "cut.dso"}, 3, "cut.dso (shorter than 271 lines: it ends after line 33)"},
    {{"info", "long.dso"}, 3, "long.dso (line 1 is longer than 4096 bytes)"},
    {{"info", "long3.dso"}, 3, "long3.dso 文件格式不正确 (line 3 is longer than 4096 bytes)"},
    {{"info", "nul.dso"}, 3, "nul.dso (not text)"},
    {{"info", "model.dso"}, 3, R"(model.dso 文件格式不正确 (unknown meter model "NOPE\x1b[2J"))"},
    {{"info", "nix\xe9.dso"}, 3, "nix\xe9.dso (no such file)"},
    {{"export", "--record", "good.dso", "--csv", "r.csv"}, 3,
     "good.dso 文件格式不正确 (not a DMM record file)"},
    {{"export", "header.dso", "good.dso", "--out-dir", "out", "--formats", "csv,svg"}, 3,
     "header.dso 文件格式不正确 (the first line is not \"QVDATALINK47 V1.0\")"},
    {{"export", "good.dso", "--png", "no/such/dir/a.png"}, 4,
     "cannot write no/such/dir/a.png: No such file or directory"},
    {{"export", "good.dso", "--out-dir", "good.dso/x"}, 4, "cannot make the folder good.dso/x"},
    {{"export", "--record", "sub", "--csv", "r.csv"}, 3, "sub (not a readable file)"},
    {{"export", "--record", "none.txt", "--csv", "r.csv"}, 3, "none.txt (no such file)"},
    {{"capture", "--port", "no-such-tty", "--dmm-csv", "x.csv"}, 5, "no-such-tty did not appear"},
    {{"capture", "--demo", "dmm", "--interval", "3", "--dmm-csv", "x.csv"}, 2,
     "--interval takes 0, 1, 2, 5, 10, 20, 30 or 60"},
    {{"capture", "--demo", "dmm", "--wait", "1048577", "--dmm-csv", "x.csv"}, 2,
     "--wait takes a whole number from 0 to 1048576, not '1048577'"},
    {{"capture", "--port", "no-such-tty", "--wait", "1", "--dmm-csv", "x.csv"}, 5,
     "no-such-tty did not appear within 1 s"},
    {{"capture", "--demo", "dmm", "--mqtt-qos", "0"}, 2, "--mqtt-qos needs --mqtt"},
    {mqtt("mqtt://h/p", "--mqtt-qos", "2"), 2, "--mqtt-qos takes 0 or 1, not '2'"},
    {mqtt("mqtt://h/p", "--mqtt-queue", "0"), 2,
     "--mqtt-queue takes a whole number from 1 to 999999999, not '0'"},
    {mqtt("mqtt://h/p", "--mqtt-ca", "c"), 2,
     "--mqtt-ca, --mqtt-cert and --mqtt-key need an mqtts:// URL"},
    {mqtt("mqtts://h/p", "--mqtt-key", "k"), 2, "--mqtt-cert and --mqtt-key go together"},
    {mqtt("mqtts://h/p", "--mqtt-cert", "c"), 2, "--mqtt-cert and --mqtt-key go together"},
    {mqtt("mqtt://h/p", "--mqtt-id", "caf\xe9"), 2, kIdBounds},
    {mqtt("mqtt://h/p", "--mqtt-id", std::string(65536, 'i')), 2, kIdBounds},
    {mqtt("mqtt://h/p", "--mqtt-password-file", "good.dso"), 2,
     "a password needs a user: mqtt://USER@HOST/PREFIX"},
    {mqtt("mqtt://bob@h/p", "--mqtt-password-file", "no"), 3, "cannot read the password file no"},
    {mqtt("mqtts://h/p", "--mqtt-ca", "no"), 3, "cannot read the TLS file no"},
};
// clang-format on

// Each refusal: exit code and reason; a usage error (2) comes before any output or display.
TEST_F(CommandLineTest, RefusalsSayWhy) {
    const std::string wave = contents(path("good.dso"));
    write("huge.dso", wave.substr(0, wave.find("\r\n 13 \r\n")) + "\r\n 1e400 " +
                          wave.substr(wave.find("\r\n 0 \r\n")));
    write("cut.dso", wave.substr(0, 200)); // 15 lines to the samples, 17 samples and " 0"
    write("long.dso", std::string(17 * 1024 * 1024, 'a')); // more than a read takes at all
    write("long3.dso", "QVDATALINK47 V1.0\rab\r\n" + std::string(17 << 20, 'a')); // CR, CR LF
    write("nul.dso", "");
    fs::resize_file(path("nul.dso"), 50 * 1024 * 1024); // NUL bytes
    write("model.dso", "QVDATALINK47 V1.0\r\nNOPE\x1b[2J\r\n");
    write("header.dso", "QVDATALINK47 V1.0 " + wave.substr(17));
    write("wave.csv", wave);
    for (const std::string folder : {"a", "b", "sub"})
        fs::create_directory(path(folder)), write(folder + "/x.dso", wave);
    fs::create_symlink("good.dso", path("link.dso"));
    fs::create_hard_link(path("good.dso"), path("hard.dso"));
    fs::create_symlink("o.csv", path("link.csv")); // to a file still to be made
    for (const auto &[arguments, code, message] : kRefusals) {
        const auto before = files();
        const Run r = run(arguments);
        EXPECT_EQ(r.code, code) << arguments[1] << ": " << r.err;
        EXPECT_EQ(r.err.rfind("qvlink: " + message, 0), 0u) << r.err;
        EXPECT_TRUE(code != 2 || files() == before) << arguments[1];
    }
    const Run full = run({"export", "good.dso", "--csv", "-"}, "/dev/full");
    EXPECT_EQ(std::pair(full.code, full.err),
              std::pair(4, std::string("qvlink: cannot write to standard output\n")));
    // The bad file of the batch did not stop the good one.
    EXPECT_TRUE(exists("out/good.csv") && exists("out/good.svg") && !exists("out/header.csv"));
    EXPECT_EQ(contents(path("good.dso")), wave);
}

TEST_F(CommandLineTest, HelpAndVersionWithoutADisplay) {
    const Run all = run({"--help-all"}), help = run({"-h"});
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_PRED_FORMAT2(testing::IsSubstring,
                        "  --platform <platformName[:options]>  QPA plugin. See QGuiApplication\n"
                        "                                       documentation for available "
                        "options for\n",
                        all.out);
    EXPECT_EQ(help.out.rfind("Usage: " QVLINK_PATH " [options] [FILE.dso]\n", 0), 0u);
    EXPECT_PRED_FORMAT2(testing::IsSubstring,
                        "  --port <device>         Open this serial device at start-up instead "
                        "of\n                          searching ports 1 to 8 (/dev/ttyUSB3,\n",
                        help.out);
    EXPECT_EQ(help.out.find("--platform"), std::string::npos);
    EXPECT_EQ(run({"--version"}).out, "qvlink 1.1\n");
    const std::string commands = run({"export", "--help"}).out;
    EXPECT_EQ(commands.rfind("Usage:\n  qvlink [FILE.dso]", 0), 0u);
    EXPECT_NE(commands.find(" [--interval 0|1|2|5|10|20|30|60] "), std::string::npos); // taken
    EXPECT_TRUE(commands.ends_with("Exit codes: 0 done, 2 usage error, 3 an input refused, 4 an "
                                   "output not written,\n5 the device did not appear.\n"));
}

// A copy of the program without its modules: pictures and the window say what they lack.
TEST_F(CommandLineTest, WithoutItsModulesItSaysWhatIsMissing) {
    fs::copy_file(QVLINK_PATH, program = path("qvlink"));
    const Run png = run({"export", "good.dso", "--png", "a.png"}), window = run({});
    EXPECT_EQ(std::pair(png.code, window.code), std::pair(4, 1)) << png.err << window.err;
    EXPECT_TRUE(
        png.err.starts_with("qvlink: cannot draw pictures: cannot load qvlink-pictures.so (") &&
        window.err.starts_with("qvlink: cannot load qvlink-window.so (") &&
        window.err.ends_with("qvlink-window.so: cannot open shared object file: No such file or "
                             "directory)\n"));
}

// Names are the bytes given, values any case; every output of one file, and of a record.
TEST_F(CommandLineTest, OutputsByTheNamesGiven) {
    const Run csv = run({"export", "good.dso", "--csv", "caf\xe9 -1.csv", "--png", "a.png", "--pdf",
                         "a.pdf", "--svg", "a.svg", "--spectrum-csv", "-", "--view", "SPECTRUM",
                         "--window", "HAMMING", "--db", "--scale", "2"});
    EXPECT_EQ(csv.code, 0) << csv.err;
    EXPECT_NE(contents(path("caf\xe9 -1.csv")).find("\r\n1,5e-05,1\r\n"), std::string::npos);
    EXPECT_TRUE(exists("a.png") && exists("a.pdf"));
    EXPECT_EQ(contents(path("a.svg")).find("#0000ff"), std::string::npos) << "the blue trace";
    EXPECT_NE(csv.out.find("# window,Hamming\r\n# scale,dB\r\n"), std::string::npos) << csv.out;
    const Run rect = run({"export", "good.dso", "--spectrum-csv", "-", "--window", "rectangular"});
    EXPECT_NE(rect.out.find("# window,Rectangular\r\n"), std::string::npos) << rect.out;

    write("-w 1.dso", contents(path("good.dso")));
    const Run dash =
        run({"export", "--out-dir", "out", "--formats", "CSV,Spectrum-CSV", "--", "-w 1.dso"});
    EXPECT_TRUE(dash.code == 0 && exists("out/-w 1.csv") && exists("out/-w 1.spectrum.csv"))
        << dash.err;

    const Run record = run({"export", "--record", "record.txt", "--csv", "-"});
    EXPECT_EQ(record.code, 0) << record.err;
    EXPECT_EQ(record.out,
              "time,value,unit,text\r\n14:03:27,-1.234,mV  DC,\"-1.234mV  DC    \"\r\n");

    write("caf\xe9.dso", contents(path("good.dso")));
    const Run read = run({"info", "caf\xe9.dso"});
    EXPECT_TRUE(read.code == 0 && read.out.starts_with("file: caf\xe9.dso\n")) << read.err;
    // JSON is UTF-8: the byte that is no UTF-8 stands as U+FFFD.
    const Run json = run({"info", "caf\xe9.dso", "--json"});
    EXPECT_NE(json.out.find("\"file\": \"caf\xef\xbf\xbd.dso\""), std::string::npos) << json.out;

    const Run frames =
        run({"capture", "--demo", "DSO", "--speed", "MAX", "--frames", "1", "--formats", "PNG",
             "--out-dir", "frames", "--interval", "0", "--quiet"});
    EXPECT_TRUE(frames.code == 0 && listing(path("frames")).size() == 1) << frames.err;
}

} // namespace

// --lang and the kept setting choose the messages' language; the exit codes stay.
TEST_F(CommandLineTest, MessagesInTheLanguageChosen) {
    write("model.dso", "QVDATALINK47 V1.0\r\nNOPE\r\n");
    setenv("QVLINK_SETTINGS", path("settings.ini").c_str(), 1);
    const std::string zh = R"(model.dso 文件格式不正确 (unknown meter model "NOPE"))";
    const std::string en = R"(model.dso: File format not recognised (unknown meter model "NOPE"))";
    const std::string record = "good.dso: File format not recognised (not a DMM record file)";
    // the setting's language ("" none), the arguments, the exit code and message
    const std::tuple<const char *, Args, int, std::string> rows[] = {
        {"", {"info", "model.dso"}, 3, zh},
        {"", {"info", "model.dso", "--lang", "en"}, 3, en},
        {"en", {"info", "model.dso"}, 3, en},
        {"en", {"--lang=zh", "info", "model.dso"}, 3, zh},
        {"", {"--lang", "en", "export", "--record", "good.dso", "--csv", "x.csv"}, 3, record},
        {"", {"info", "good.dso", "--lang", "fr"}, 2, "--lang: 'fr' is not a language: zh or en"},
    };
    for (const auto &[kept, arguments, code, message] : rows) {
        write("settings.ini", std::string("[General]\nlanguage=") + kept + "\n");
        const Run r = run(arguments);
        EXPECT_EQ(std::pair(r.code, r.err.substr(0, r.err.find('\n') + 1)),
                  std::pair(code, "qvlink: " + message + "\n"))
            << arguments[1];
    }
    setenv("QVLINK_LANG", "zh", 1); // left set by a caller: --lang still decides
    EXPECT_EQ(run({"--lang", "en", "info", "model.dso"}).err.find("qvlink: " + en), 0u);
    unsetenv("QVLINK_SETTINGS"), unsetenv("QVLINK_LANG");
}

// A batch's progress line, then a message or summary; none for one file, --quiet or a non-tty.
TEST_F(CommandLineTest, ProgressOnATerminalOnly) {
    const Pty tty; // which ends each line with CR LF
    const auto shown = [&](const Args &args) {
        EXPECT_LT(run(args, nullptr, tty.device.c_str()).code, 4);
        // A mark written after the program's last byte: what the terminal shows comes before it.
        EXPECT_EQ(::write(tty.slave, "\x01", 1), 1);
        std::string text;
        for (char c; ::read(tty.master, &c, 1) == 1 && c != '\x01';)
            text += c;
        return text;
    };
    EXPECT_EQ(
        shown({"export", "good.dso", "none.dso", "--out-dir", "o", "--formats", "csv"}),
        "\r1/2 good.dso\033[K\r2/2 none.dso\033[K\r\033[Kqvlink: none.dso (no such file)\r\n\r\n");
    EXPECT_EQ(shown({"export", "good.dso", "--csv", "a.csv"}), "");
    // Readings at the interval chosen: the second a second after the first, two after the start.
    const std::string c = shown({"capture", "--demo", "dmm", "--interval", "1", "--count", "2",
                                 "--duration", "9s", "--dmm-csv", "d.csv"});
    const std::regex line("(\r[0-9.]+ s  [0-9]+ readings, 0 frames  last [^\r]*  link up\033\\[K)*"
                          "\r[0-9.]+ s  [12] readings, 0 frames  last 3\\.[0-9]{3}  V  DC  link up"
                          "\033\\[K\r\033\\[Kqvlink: kept 2 readings, 0 frames in ([0-9.]+) s\r\n");
    std::smatch m;
    EXPECT_TRUE(std::regex_match(c, m, line) && std::stod(m[2]) >= 1.5) << c;
    // A line every half second, then the summary's two carriage returns.
    EXPECT_LE(double(std::ranges::count(c, '\r') - 2), 2 * std::atof(m[2].str().c_str()) + 2) << c;
    EXPECT_EQ(shown({"capture", "--demo", "dmm", "--count", "1", "--dmm-csv", "e.csv", "--quiet"}),
              "");
}
